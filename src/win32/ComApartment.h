#pragma once
// The user-interface thread's membership of COM, for as long as it runs.
#include <objbase.h>

namespace vlmr::win32 {

class ComApartment {
public:
    // Single-threaded, as the shell's objects expect; no OLE1 DDE, which
    // ShellExecute does not need.
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool ok() const { return SUCCEEDED(result_); }
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

}  // namespace vlmr::win32
