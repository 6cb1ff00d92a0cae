// CallbackFailure: one kept std::exception_ptr for the GUI thread.
#include "CallbackFailure.h"

#include <exception>

namespace callback {

namespace {

std::exception_ptr kept;

} // namespace

void keepFailure()
{
    if (!kept)
        kept = std::current_exception();
}

bool failed()
{
    return static_cast<bool>(kept);
}

void rethrowFailure()
{
    if (!kept)
        return;
    std::exception_ptr failure = kept;
    kept = nullptr;
    std::rethrow_exception(failure);
}

} // namespace callback
