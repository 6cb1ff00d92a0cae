// thread::Thread: creation through the runtime library, the one start and the entry routine.
#include "Thread.h"

#include <windows.h>
#include <process.h>

namespace thread {

Thread::Thread()
{
    // _beginthreadex, not CreateThread: the runtime prepares its per-thread state for the thread.
    unsigned id = 0;
    uintptr_t handle = _beginthreadex(nullptr, 0, &Thread::entry, this, CREATE_SUSPENDED, &id);
    if (handle == 0)
        throw Error("Can't create thread.");
    m_handle = reinterpret_cast<void*>(handle);
}

Thread::~Thread()
{
    CloseHandle(m_handle);
}

unsigned long Thread::start()
{
    if (m_started)
        throw Error("Thread can be started only once.");
    m_started = true;
    DWORD previous = ResumeThread(m_handle);
    if (previous == static_cast<DWORD>(-1))
        throw Error("Thread can not be started.");
    return previous;
}

unsigned __stdcall Thread::entry(void* object)
{
    try {
        static_cast<Thread*>(object)->run();
    } catch (...) {
        // Nothing may unwind into the system's thread start; the owner learns of the end
        // through the message the work posts.
    }
    _endthreadex(0);
    return 0;
}

} // namespace thread
