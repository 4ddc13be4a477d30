#include "tools/testing/stand_in_controls/dispatch_object.h"

#include "tools/testing/stand_in_controls/module.h"

namespace kavuno::stand_in {

DispatchObject::DispatchObject(const char* logName, const DispatchName* names, size_t nameCount)
    : logName_(logName), names_(names), nameCount_(nameCount) {
    ModuleAddRef();
}

DispatchObject::~DispatchObject() { ModuleRelease(); }

STDMETHODIMP DispatchObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) DispatchObject::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) DispatchObject::Release() {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP DispatchObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return IdsOfNames(names_, nameCount_, names, count, ids);
}

STDMETHODIMP DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                    EXCEPINFO*, UINT*) {
    return ServeInvoke(logName_, id, flags, params, result, [this](DispatchCall& call) { return Serve(call); });
}

}  // namespace kavuno::stand_in
