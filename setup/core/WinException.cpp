// WinException: the error code is taken when the exception is made.
#include <windows.h>

#include "SetupExceptions.h"

WinException::WinException(const char* text) : code(GetLastError()), text(text)
{
}
