// Creation for C callers: no C++ exception may reach a C caller's frames.
#ifndef KEL_CKELNEW_H
#define KEL_CKELNEW_H

#include <new>
#include <utility>

// A new T, or null when memory runs out (or its constructor throws).
template <class T, class... Args>
T* ckelNew(Args&&... args) noexcept
{
    try {
        return new (std::nothrow) T(std::forward<Args>(args)...);
    } catch (...) {
        return nullptr;
    }
}

#endif
