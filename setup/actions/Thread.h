// thread::Thread: a worker thread created suspended, started once, whose work is run().
#pragma once

namespace thread {

// Both texts are literals of the program and are not copied.
class GenericError {
public:
    GenericError(const char* className, const char* message) : m_className(className), m_message(message) {}

    const char* className() const { return m_className; }
    const char* message() const { return m_message; }

private:
    const char* m_className;
    const char* m_message;
};

class Thread {
public:
    class Error : public GenericError {
    public:
        explicit Error(const char* message) : GenericError("class Thread", message) {}
    };

    // Creates the thread suspended; throws Error "Can't create thread.".
    Thread();
    // Closes the handle; neither waits for the thread nor stops it.
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Resumes the thread and returns the previous suspend count; throws Error "Thread can be
    // started only once." on a second call and "Thread can not be started." when resuming fails.
    unsigned long start();

    // The Windows thread handle (a HANDLE).
    void* handle() const { return m_handle; }

protected:
    // The thread's work; an exception that leaves it ends the thread quietly with exit code 0.
    virtual void run() = 0;

private:
    static unsigned __stdcall entry(void* object);

    bool m_started = false;
    void* m_handle = nullptr;
};

} // namespace thread
