#pragma once
// Owners for the kernel and search handles, so that every path out of a
// function closes what it opened.
#include <windows.h>

#include <memory>

namespace vlmr::win32 {

struct HandleCloser {
    void operator()(HANDLE h) const noexcept { CloseHandle(h); }
};
// Holds a handle from CreateFile, CreateMutex and the like. Construct it with
// Own(), which turns both failure values into an empty owner.
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

inline UniqueHandle Own(HANDLE h) {
    return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

struct FindCloser {
    void operator()(HANDLE h) const noexcept { FindClose(h); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

}  // namespace vlmr::win32
