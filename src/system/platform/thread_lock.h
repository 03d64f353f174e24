#pragma once
// A lock between the threads of this process: a slim reader/writer lock,
// always taken exclusively. Not std::mutex, whose MinGW form brings in a
// whole pthreads library for what Windows does in a pointer-sized word.

#include <windows.h>

namespace koravale {

class ThreadLock {
public:
    ThreadLock() = default;
    ThreadLock(const ThreadLock&) = delete;
    ThreadLock& operator=(const ThreadLock&) = delete;

    // Holds the lock from its construction to the end of its scope. The
    // lock is not recursive: a thread that holds it must not take it again.
    class Hold {
    public:
        explicit Hold(ThreadLock& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_.lock_); }
        ~Hold() { ReleaseSRWLockExclusive(&lock_.lock_); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        ThreadLock& lock_;
    };

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

}  // namespace koravale
