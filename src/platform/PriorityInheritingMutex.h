#pragma once

#include <pthread.h>

namespace platform {

// A mutex with priority inheritance (PTHREAD_PRIO_INHERIT): a thread of normal priority that
// holds it while the real-time stepping thread waits for it runs at the stepping thread's
// priority until it lets go. Else a busy machine could keep a step waiting for that thread's
// next time slice, tens of milliseconds. Lockable as std::mutex is (std::lock_guard).
class PriorityInheritingMutex {
public:
    PriorityInheritingMutex() {
        pthread_mutexattr_t attributes;
        ::pthread_mutexattr_init(&attributes);
        ::pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT);
        ::pthread_mutex_init(&mutex_, &attributes);
        ::pthread_mutexattr_destroy(&attributes);
    }
    ~PriorityInheritingMutex() { ::pthread_mutex_destroy(&mutex_); }
    PriorityInheritingMutex(const PriorityInheritingMutex&) = delete;
    PriorityInheritingMutex& operator=(const PriorityInheritingMutex&) = delete;

    void lock() { ::pthread_mutex_lock(&mutex_); }
    void unlock() { ::pthread_mutex_unlock(&mutex_); }

private:
    pthread_mutex_t mutex_;
};

} // namespace platform
