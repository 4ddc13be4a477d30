#include "framework/dialog.h"

#include <algorithm>

#include "framework/failure_report.h"

namespace kavuno::ui {
namespace {

// The dialogs of this (GUI) thread that have a window, for PreTranslate.
thread_local std::vector<DialogBase*> t_dialogs;

bool ReturnsResultDirectly(UINT message) {
    // Messages whose dialog-procedure return value is the result itself.
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG: return true;
    default: return false;
    }
}

}  // namespace

DialogBase::DialogBase(UINT templateId) : templateId_(templateId) {}

DialogBase::~DialogBase() {
    if (!hwnd_) return;
    // The derived part is gone: unhook first so no message reaches it.
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    t_dialogs.erase(std::remove(t_dialogs.begin(), t_dialogs.end(), this), t_dialogs.end());
    DestroyWindow(hwnd_);
}

DialogBase* DialogBase::FromHandle(HWND hwnd) {
    for (DialogBase* dialog : t_dialogs)
        if (dialog->hwnd_ == hwnd) return dialog;
    return nullptr;
}

bool DialogBase::PreTranslate(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    DialogBase* target = FromHandle(root);
    // The filters of the target's dialog and of its owners, innermost first.
    for (HWND window = root; window; window = GetWindow(window, GW_OWNER)) {
        if (DialogBase* dialog = FromHandle(window); dialog && dialog->PreTranslateMessage(msg)) return true;
    }
    return target && target->hwnd_ && IsDialogMessageW(target->hwnd_, &msg);
}

INT_PTR DialogBase::DoModal(HWND owner) {
    modal_ = true;
    ended_ = false;
    result_ = -1;
    if (!CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                            reinterpret_cast<LPARAM>(this)))
        return -1;
    bool ownerDisabled = owner && IsWindowEnabled(owner);
    if (ownerDisabled) EnableWindow(owner, FALSE);
    if (!ended_ && !IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOWNORMAL);

    MSG msg;
    while (!ended_) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {  // WM_QUIT: end the dialog and leave the quit for the outer loop
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (Guarded("message filter", false, [&] { return PreTranslate(msg); })) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    if (ownerDisabled) EnableWindow(owner, TRUE);
    if (hwnd_) DestroyWindow(hwnd_);
    if (owner && GetActiveWindow() == nullptr) SetActiveWindow(owner);
    return result_;
}

bool DialogBase::CreateModeless(HWND owner) {
    modal_ = false;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void DialogBase::EndDialog(INT_PTR result) {
    if (modal_) {
        result_ = result;
        ended_ = true;
        if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);  // wake the loop if it is waiting
    } else if (hwnd_) {
        DestroyWindow(hwnd_);
    }
}

bool DialogBase::OnInitDialog() {
    DoDataExchange();
    return true;
}

void DialogBase::Bind(int id, Control& control) {
    control.Attach(GetDlgItem(hwnd_, id));
    bound_.push_back(&control);
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // A failed handler leaves the message to the system's default processing.
    return Guarded("dialog procedure", INT_PTR{FALSE}, [&] { return DialogMessage(hwnd, message, wParam, lParam); });
}

INT_PTR DialogBase::DialogMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogBase* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<DialogBase*>(lParam);
        dialog->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        t_dialogs.push_back(dialog);
    } else {
        dialog = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!dialog) return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT and the like)
    return dialog->HandleDialogMessage(message, wParam, lParam);
}

Control* DialogBase::BoundControl(HWND window) const {
    if (!window) return nullptr;
    for (Control* control : bound_)
        if (control->hwnd() == window) return control;
    return nullptr;
}

INT_PTR DialogBase::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog() ? TRUE : FALSE;

    LRESULT result = 0;
    if (message == WM_NOTIFY) {
        // The control it concerns answers first.
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (Control* control = BoundControl(header->hwndFrom); control && control->OnNotifyReflect(*header, result)) {
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
    if (Dispatch(message, wParam, lParam, result)) {
        if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }

    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (Control* control = BoundControl(item->hwndItem)) {
            control->OnDrawItem(*item);
            return TRUE;
        }
        break;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        t_dialogs.erase(std::remove(t_dialogs.begin(), t_dialogs.end(), this), t_dialogs.end());
        hwnd_ = nullptr;
        bound_.clear();
        break;
    default: break;
    }
    return FALSE;
}

}  // namespace kavuno::ui
