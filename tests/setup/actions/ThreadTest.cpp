// thread::Thread: suspended creation, one start, and an exception inside run ending quietly.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <stdexcept>

#include "Thread.h"

namespace {

class Worker : public thread::Thread {
public:
    explicit Worker(bool fail) : m_fail(fail), m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Worker() override { CloseHandle(m_done); }

    HANDLE done() const { return m_done; }
    LONG runs = 0;

protected:
    void run() override
    {
        InterlockedIncrement(&runs);
        SetEvent(m_done);
        if (m_fail)
            throw std::runtime_error("inside run");
    }

private:
    bool m_fail;
    HANDLE m_done;
};

DWORD exitCodeAfterEnd(HANDLE thread)
{
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    DWORD code = 12345;
    GetExitCodeThread(thread, &code);
    return code;
}

TEST(Thread, CreatedSuspendedAndStartedOnce)
{
    Worker worker(false);
    EXPECT_EQ(WaitForSingleObject(worker.done(), 200), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(worker.runs, 0);
    EXPECT_EQ(worker.start(), 1u); // the previous suspend count
    EXPECT_EQ(exitCodeAfterEnd(worker.handle()), 0u);
    EXPECT_EQ(worker.runs, 1);
    try {
        worker.start();
        ADD_FAILURE() << "second start";
    } catch (const thread::Thread::Error& e) {
        EXPECT_STREQ(e.message(), "Thread can be started only once.");
        EXPECT_STREQ(e.className(), "class Thread");
    }
    EXPECT_EQ(worker.runs, 1);
}

TEST(Thread, ExceptionInsideRunEndsTheThreadWithCodeZero)
{
    Worker worker(true);
    worker.start();
    EXPECT_EQ(exitCodeAfterEnd(worker.handle()), 0u);
    EXPECT_EQ(worker.runs, 1);
}

TEST(Thread, ErrorIsAGenericError)
{
    // The frame catches neither kind by name: it reports them as an unknown exception.
    try {
        throw thread::Thread::Error("Thread can not be started.");
    } catch (const thread::GenericError& e) {
        EXPECT_STREQ(e.className(), "class Thread");
        EXPECT_STREQ(e.message(), "Thread can not be started.");
    }
}

TEST(Thread, DestroyingAFinishedThreadClosesItsHandle)
{
    HANDLE copy = nullptr;
    {
        Worker worker(false);
        worker.start();
        exitCodeAfterEnd(worker.handle());
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), worker.handle(), GetCurrentProcess(), &copy, 0, FALSE,
                                    DUPLICATE_SAME_ACCESS));
    }
    // The object's own handle is gone; the duplicate still names the ended thread.
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeThread(copy, &code));
    EXPECT_EQ(code, 0u);
    CloseHandle(copy);
}

} // namespace
