// The DLL's COM entry points: class objects for the two controls and the
// unload check.
#include "tools/testing/stand_in_controls/module.h"

#include <atomic>

#include "tools/testing/stand_in_controls/picture_window.h"
#include "tools/testing/stand_in_controls/stand_in_media_player.h"
#include "tools/testing/stand_in_controls/stand_in_real_player.h"

namespace kavuno::stand_in {
namespace {

HINSTANCE g_instance = nullptr;
std::atomic<long> g_references{0};  // live objects and server locks

template <class Control>
class ClassFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // The factories are static: their references only keep the DLL loaded.
    STDMETHODIMP_(ULONG) AddRef() override {
        ModuleAddRef();
        return 2;
    }
    STDMETHODIMP_(ULONG) Release() override {
        ModuleRelease();
        return 1;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* control = new (std::nothrow) Control();
        if (!control) return E_OUTOFMEMORY;
        HRESULT hr = control->QueryInterface(iid, out);
        control->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            ModuleAddRef();
        else
            ModuleRelease();
        return S_OK;
    }
};

ClassFactory<RealPlayerControl> g_realFactory;
ClassFactory<MediaPlayerControl> g_mediaPlayerFactory;

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }
void ModuleAddRef() { ++g_references; }
void ModuleRelease() { --g_references; }

}  // namespace kavuno::stand_in

using namespace kavuno::stand_in;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        PictureWindow::UnregisterClasses();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid == kRealPlayerClsid) return g_realFactory.QueryInterface(iid, out);
    if (clsid == kMediaPlayerClsid) return g_mediaPlayerFactory.QueryInterface(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return g_references == 0 ? S_OK : S_FALSE; }
