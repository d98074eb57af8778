#pragma once
// What the recording COM servers share: their settings from the environment,
// the log every call is appended to, and COM's plumbing (reference counts,
// class factory, unloading). Each server is its own DLL with its own copy.
//
//   VLMR_RECORDER_LOG     Windows path of the log (UTF-8, one call a line)
//   VLMR_RECORDER_REFUSE  a method's name: that call is recorded, then
//                         answered with E_ACCESSDENIED
#include <windows.h>

#include <atomic>
#include <string>

namespace vlmr::recorder {

std::wstring Environment(const wchar_t* name);
std::string ToUtf8(const wchar_t* text);  // "(null)" for a null pointer
void Record(const std::string& line);
// S_OK, or E_ACCESSDENIED for the method VLMR_RECORDER_REFUSE names.
HRESULT Answer(const wchar_t* method);

extern std::atomic<long> g_liveObjects;
extern std::atomic<long> g_serverLocks;

// IUnknown for an object that implements one interface; its last release is
// recorded as "Release", so a test sees that the program let it go.
template <class Interface>
class RecordingObject : public Interface {
public:
    explicit RecordingObject(const IID& iid) : iid_(iid) { ++g_liveObjects; }
    RecordingObject(const RecordingObject&) = delete;
    RecordingObject& operator=(const RecordingObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid_)) {
            *ppv = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        const long left = --refs_;
        if (left == 0) {
            Record("Release");
            delete this;
        }
        return static_cast<ULONG>(left);
    }

protected:
    virtual ~RecordingObject() { --g_liveObjects; }

private:
    const IID& iid_;
    std::atomic<long> refs_{1};
};

// Makes Object for COM's loader.
template <class Object>
class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object: counting its references buys nothing.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* object = new Object();
        const HRESULT result = object->QueryInterface(riid, ppv);
        object->Release();  // drops the creation reference; the caller holds its own
        return result;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        lock ? ++g_serverLocks : --g_serverLocks;
        return S_OK;
    }
};

// DllGetClassObject for a server of the one class `served`.
template <class Object>
HRESULT GetClassObject(REFCLSID rclsid, const CLSID& served, REFIID riid, void** ppv) {
    static ClassFactory<Object> factory;
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, served)) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, ppv);
}

// DllCanUnloadNow.
inline HRESULT CanUnloadNow() { return g_liveObjects == 0 && g_serverLocks == 0 ? S_OK : S_FALSE; }

}  // namespace vlmr::recorder
