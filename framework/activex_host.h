// Hosts one ActiveX control in a child window of ours and calls it by
// dispatch id. A wrapper class per control derives from ActiveXControl,
// creates it from its own class id and names each operation.
//
// The host window takes the window name, style, rectangle, parent and
// control id given to Create, so the caller shows, hides, moves or disables
// the control through hwnd() like any child window; the control's own window
// lives inside it and follows its size.
//
// Only a control that was created and answers IDispatch is kept. Any other
// outcome releases what was made and leaves no window behind: hwnd() and
// dispatch() are null, and every call on the wrapper does nothing and fails
// with E_POINTER (getters give 0, false or an empty text).
//
// OLE must be initialised on the calling thread (OleInitialize), and every
// call must come from that thread.
#pragma once
#include <windows.h>
#include <ole2.h>

#include "framework/dispatch_call.h"
#include "framework/ownership.h"

namespace kavuno::ui {

class ActiveXSite;

enum class ActiveXStatus {
    NotCreated,      // before Create, or after Destroy
    Created,         // hosted and callable by dispatch id
    NotRegistered,   // no such class (REGDB_E_CLASSNOTREG)
    CreationFailed,  // anything else went wrong on the way
    NoDispatch,      // the control came up but has no IDispatch; it was let go again
};

class ActiveXControl {
public:
    ActiveXControl();  // both out of line: the site's type is complete only there
    virtual ~ActiveXControl();
    ActiveXControl(const ActiveXControl&) = delete;
    ActiveXControl& operator=(const ActiveXControl&) = delete;

    // Creates the host window and the control in it (in-process server only,
    // no persisted state, no storage, no licence key). True when the status
    // is Created. A control created before is destroyed first.
    bool Create(const CLSID& clsid, const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id);
    // In-place deactivates and closes the control, releases it and destroys
    // the host window. Also run by the destructor, and by the host window
    // itself when its parent is destroyed first.
    void Destroy();

    ActiveXStatus status() const { return status_; }
    bool usable() const { return status_ == ActiveXStatus::Created; }
    // Why creation went wrong (S_OK when it did not).
    HRESULT creationError() const { return creationError_; }

    HWND hwnd() const { return hwnd_; }
    IDispatch* dispatch() const { return dispatch_.get(); }

protected:
    template <class R = void>
    DispatchResult<R> Call(DISPID id, DispatchKind kind, std::initializer_list<DispatchArg> args = {}) const {
        return CallByDispId<R>(dispatch_.get(), id, kind, args);
    }
    template <class R = void>
    DispatchResult<R> CallByName(const wchar_t* name, DispatchKind kind,
                                 std::initializer_list<DispatchArg> args = {}) const {
        return kavuno::ui::CallByName<R>(dispatch_.get(), name, kind, args);
    }

private:
    static LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    ActiveXStatus Embed(const CLSID& clsid);
    void FitControlToHost();
    void ReleaseControl();

    HWND hwnd_ = nullptr;
    ComPtr<ActiveXSite> site_;
    ComPtr<IOleObject> object_;
    ComPtr<IOleInPlaceObject> inPlace_;
    ComPtr<IDispatch> dispatch_;
    ActiveXStatus status_ = ActiveXStatus::NotCreated;
    HRESULT creationError_ = S_OK;
};

}  // namespace kavuno::ui
