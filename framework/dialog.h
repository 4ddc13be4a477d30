// Dialog windows from templates. DoModal runs our own modal loop so that a
// dialog's PreTranslateMessage sees every message before it is dispatched
// (a message filter), as does every dialog that owns the target window.
//
// A concrete dialog derives from Dialog<T>, declares
//     static const MessageEntry<T> kMessageTable[];
// defines it in its .cpp above its constructor, passes it to Dialog<T>'s
// constructor there, and binds its member controls in DoDataExchange() with
// Bind(id, member).
#pragma once
#include <windows.h>

#include <span>
#include <vector>

#include "framework/control.h"
#include "framework/message_table.h"

namespace kavuno::ui {

class DialogBase {
public:
    explicit DialogBase(UINT templateId);
    virtual ~DialogBase();
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // Creates the window from the template and runs it until EndDialog.
    // The owner, if any, is disabled meanwhile. Returns the EndDialog result,
    // or -1 when the window could not be created.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the window and returns at once; false when it could not be created.
    bool CreateModeless(HWND owner);
    // Modal: ends the loop with `result`. Modeless: destroys the window.
    void EndDialog(INT_PTR result);

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    UINT TemplateId() const { return templateId_; }

    // The dialog whose window is `hwnd`, if it is one of ours.
    static DialogBase* FromHandle(HWND hwnd);
    // Offers `msg` to the filters of the dialog holding its target window and of
    // that dialog's owners, then to IsDialogMessage. True when it was consumed.
    static bool PreTranslate(MSG& msg);

protected:
    // Runs DoDataExchange. Derived dialogs call it first. Returns true to let
    // the system give the focus to the first tab-stop control.
    virtual bool OnInitDialog();
    virtual void DoDataExchange() {}
    void Bind(int id, Control& control);

    // True swallows the message.
    virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // The message table's turn; true when a handler took the message.
    virtual bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR DialogMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The bound control whose window is `window`, if any.
    Control* BoundControl(HWND window) const;

    UINT templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = 0;
    std::vector<Control*> bound_;
};

template <class T>
class Dialog : public DialogBase {
public:
    Dialog(UINT templateId, std::span<const MessageEntry<T>> table) : DialogBase(templateId), table_(table) {}

protected:
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        return DispatchMessageTable(static_cast<T&>(*this), table_, message, wParam, lParam, result);
    }

private:
    std::span<const MessageEntry<T>> table_;
};

}  // namespace kavuno::ui
