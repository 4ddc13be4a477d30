// A plain automation object of a stand-in control (the media player's
// controls and media objects): IDispatch only, calls logged under its name.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <atomic>

#include "tools/testing/stand_in_controls/incoming_call.h"

namespace kavuno::stand_in {

class DispatchObject : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override;

protected:
    DispatchObject(const char* logName, const DispatchName* names, size_t nameCount);
    virtual ~DispatchObject();
    virtual HRESULT Serve(DispatchCall& call) = 0;

private:
    std::atomic<ULONG> refs_{1};
    const char* logName_;
    const DispatchName* names_;
    size_t nameCount_;
};

}  // namespace kavuno::stand_in
