// The thin framework: message tables, the modal loop and its message filter,
// modeless dialogs, control binding, owner-draw and notification reflection,
// detaching under someone else's subclass, and the application helpers.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/ownership.h"
#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/ownership.h"

namespace {

using kavuno::ui::Control;
using kavuno::ui::Dialog;
using kavuno::ui::DialogBase;
using kavuno::ui::MessageEntry;

constexpr UINT kTestDialog = 200;
constexpr int kEdit = 10;
constexpr int kOwnerDrawn = 11;
constexpr int kLabel = 12;
constexpr UINT kAnsweredByControl = 1001, kLeftToTable = 1002;  // notification codes
constexpr UINT_PTR kGiveUpTimer = 99;
constexpr UINT_PTR kRoutedTimer = 2;
constexpr INT_PTR kGaveUp = 4242;

class RecordingControl : public Control {
public:
    std::vector<UINT> seen;
    std::vector<UINT> notified;
    int drawn = 0;
    void OnDrawItem(const DRAWITEMSTRUCT&) override { ++drawn; }
    bool OnNotifyReflect(NMHDR& header, LRESULT& result) override {
        notified.push_back(header.code);
        if (header.code != kAnsweredByControl) return false;
        result = 31;
        return true;
    }

protected:
    bool HandleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        seen.push_back(message);
        if (message == WM_GETTEXTLENGTH) {  // answered here, not by the edit control
            result = 77;
            return true;
        }
        return false;
    }
};

// A dialog whose set-up runs a script given by the test, and which records
// what its table and filter saw.
class TestDlg : public Dialog<TestDlg> {
public:
    static const MessageEntry<TestDlg> kMessageTable[];
    explicit TestDlg(UINT templateId = kTestDialog);

    std::function<void(TestDlg&)> onInit;
    std::function<bool(MSG&)> filter;
    RecordingControl edit;
    RecordingControl button;
    std::vector<std::string> log;

    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        SetTimer(hwnd(), kGiveUpTimer, 5000, nullptr);
        if (onInit) onInit(*this);
        return true;
    }
    void DoDataExchange() override {
        Bind(kEdit, edit);
        Bind(kOwnerDrawn, button);
    }
    bool PreTranslateMessage(MSG& msg) override { return filter && filter(msg); }
    void OnCancel() override {
        log.push_back("cancel");
        Dialog::OnCancel();
    }

    bool OnTimer(WPARAM id, LPARAM, LRESULT&) {
        log.push_back("timer " + std::to_string(id));
        if (id == kGiveUpTimer) EndDialog(kGaveUp);
        return true;
    }
    bool OnUser(WPARAM wParam, LPARAM, LRESULT& result) {
        log.push_back("user " + std::to_string(wParam));
        result = 5;
        return true;
    }
    bool OnCtlColor(WPARAM, LPARAM, LRESULT& result) {
        result = reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH));
        return true;
    }
    static inline int destroyMessages_ = 0;  // not the object's: it may be on its way out
    bool OnDestroyMessage(WPARAM, LPARAM, LRESULT&) {
        ++destroyMessages_;
        return false;
    }
    bool OnEndFromOutside(WPARAM result, LPARAM, LRESULT&) {
        EndDialog(static_cast<INT_PTR>(result));
        return true;
    }
    bool OnSetText(WPARAM, LPARAM, LRESULT&) {
        log.push_back("set text");
        return false;  // default processing still sets the text
    }
    void OnRoutedTimer() { log.push_back("timer 2"); }
    void OnEditChange() { log.push_back("edit change"); }
    void OnButton() { EndDialog(11); }
    void OnNotification(NMHDR* header, LRESULT& result) {
        log.push_back("notify " + std::to_string(header->idFrom));
        result = 42;
    }
};

const MessageEntry<TestDlg> TestDlg::kMessageTable[] = {
    kavuno::ui::OnTimer(kRoutedTimer, &TestDlg::OnRoutedTimer),
    kavuno::ui::OnMessage(WM_TIMER, &TestDlg::OnTimer),
    kavuno::ui::OnMessage(WM_USER, &TestDlg::OnUser),
    kavuno::ui::OnMessage(WM_SETTEXT, &TestDlg::OnSetText),
    kavuno::ui::OnMessage(WM_CTLCOLORSTATIC, &TestDlg::OnCtlColor),
    kavuno::ui::OnMessage(WM_USER + 1, &TestDlg::OnEndFromOutside),
    kavuno::ui::OnMessage(WM_DESTROY, &TestDlg::OnDestroyMessage),
    kavuno::ui::OnCommand(EN_CHANGE, kEdit, &TestDlg::OnEditChange),
    kavuno::ui::OnCommand(BN_CLICKED, kOwnerDrawn, &TestDlg::OnButton),
    kavuno::ui::OnNotify(kAnsweredByControl, kEdit, &TestDlg::OnNotification),
    kavuno::ui::OnNotify(kLeftToTable, kEdit, &TestDlg::OnNotification),
    kavuno::ui::OnNotify(kLeftToTable, kLabel, &TestDlg::OnNotification),
};

TestDlg::TestDlg(UINT templateId) : Dialog(templateId, kMessageTable) {}

TEST(Dialog, CommandsReachTheirHandlersAndEndTheModalRun) {
    TestDlg dlg;
    dlg.onInit = [](TestDlg& d) {
        SetDlgItemTextW(d.hwnd(), kEdit, L"x");  // EN_CHANGE
        PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(kOwnerDrawn, BN_CLICKED),
                     reinterpret_cast<LPARAM>(d.Item(kOwnerDrawn)));
    };
    EXPECT_EQ(dlg.DoModal(), 11);
    EXPECT_EQ(dlg.log, std::vector<std::string>{"edit change"});
    EXPECT_EQ(dlg.hwnd(), nullptr);  // the window is gone after the run
}

TEST(Dialog, TimersAreRoutedByIdAndTheRestGoToTheMessageEntry) {
    TestDlg dlg;
    dlg.onInit = [](TestDlg& d) {
        SendMessageW(d.hwnd(), WM_TIMER, kRoutedTimer, 0);
        SendMessageW(d.hwnd(), WM_TIMER, 7, 0);
        SendMessageW(d.hwnd(), WM_TIMER, kRoutedTimer, 0);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"timer 2", "timer 7", "timer 2"}));
}

TEST(Dialog, MessageHandlerResultAndDefaultProcessing) {
    TestDlg dlg;
    LRESULT handled = -1;
    wchar_t text[32] = {};
    dlg.onInit = [&](TestDlg& d) {
        handled = SendMessageW(d.hwnd(), WM_USER, 1, 0);
        SetWindowTextW(d.hwnd(), L"Kavuno");
        GetWindowTextW(d.hwnd(), text, 32);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(handled, 5);                     // the handler's result reaches the sender
    EXPECT_EQ(std::wstring(text), L"Kavuno");  // default processing ran after the handler
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"user 1", "set text"}));
}

// Window, timer and thread procedures are functions, not lambdas: a lambda
// converts only to the default calling convention, and 32-bit Windows calls
// these with __stdcall.
std::vector<UINT> g_plain;
int g_timerCalls = 0;

LRESULT CALLBACK PlainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 4 || message == WM_CHAR) g_plain.push_back(message);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CALLBACK CountTimer(HWND, UINT, UINT_PTR id, DWORD) {
    ++g_timerCalls;
    KillTimer(nullptr, id);
}

DWORD WINAPI EndLater(void* window) {
    Sleep(100);
    SendMessageW(static_cast<HWND>(window), WM_USER + 1, 33, 0);
    return 0;
}

TEST(Dialog, TheOwnerIsDisabledMeanwhileAndOtherRunsEndTheirOwnWay) {
    const kavuno::ui::OwnedWindow owner(CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                                        nullptr, nullptr, nullptr, nullptr));
    // A window that is no dialog: its messages, keys turned into characters, and a
    // thread's timer are the loop's to hand on.
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KavunoPlainTestWindow";
    RegisterClassW(&wc);
    const kavuno::ui::OwnedWindow plain(
        CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr));
    TestDlg dlg;
    bool ownerEnabled = true, shown = false;
    LRESULT brush = 0;
    dlg.onInit = [&](TestDlg& d) {
        // A colour handler's result is the message's own, not DWLP_MSGRESULT.
        brush = SendMessageW(d.hwnd(), WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(d.Item(kLabel)));
        PostMessageW(plain.get(), WM_USER + 4, 0, 0);
        PostMessageW(plain.get(), WM_KEYDOWN, 'A', 0x001E0001);
        SetTimer(nullptr, 0, 10, CountTimer);
        SetTimer(d.hwnd(), 5, 200, nullptr);  // the owner's state is read once the loop has run a while
        d.filter = [&](MSG& msg) {
            if (msg.message == WM_TIMER && msg.wParam == 5) {
                ownerEnabled = IsWindowEnabled(owner.get()) != FALSE;
                shown = IsWindowVisible(d.hwnd()) != FALSE;
                d.EndDialog(IDOK);
                return true;
            }
            return false;
        };
    };
    EXPECT_EQ(dlg.DoModal(owner.get()), IDOK);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(shown) << "a template without WS_VISIBLE is shown for its run";
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)));
    EXPECT_EQ(g_plain, (std::vector<UINT>{WM_USER + 4, WM_CHAR}));
    EXPECT_EQ(g_timerCalls, 1);
    // An owner that was disabled before stays disabled after.
    EnableWindow(owner.get(), FALSE);
    TestDlg again;
    again.onInit = [](TestDlg& d) { d.EndDialog(IDOK); };
    EXPECT_EQ(again.DoModal(owner.get()), IDOK);
    EXPECT_FALSE(IsWindowEnabled(owner.get()));

    // Ended from another thread while the loop waits: the loop wakes up.
    TestDlg waiting;
    kavuno::win::OwnedHandle thread;
    waiting.onInit = [&](TestDlg& d) { thread.Reset(CreateThread(nullptr, 0, EndLater, d.hwnd(), 0, nullptr)); };
    EXPECT_EQ(waiting.DoModal(), 33) << "not the give-up timer's result";
    WaitForSingleObject(thread.get(), INFINITE);
    thread.Reset();

    // A quit ends the run and is left for the loop outside.
    TestDlg quitting;
    quitting.onInit = [](TestDlg&) { PostQuitMessage(7); };
    EXPECT_EQ(quitting.DoModal(), -1);
    MSG quit = {};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);

    TestDlg missing(4711);
    missing.onInit = [](TestDlg&) { FAIL() << "no template, no window"; };
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(Dialog, FiltersOfTheDialogAMessageIsForComeBeforeThoseOfItsOwners) {
    TestDlg outer;
    ASSERT_TRUE(outer.CreateModeless(nullptr));
    std::vector<std::string> order;
    outer.filter = [&](MSG& msg) {
        if (msg.message == WM_USER + 3) order.push_back("outer");
        return false;
    };
    TestDlg inner;
    inner.filter = [&](MSG& msg) {
        if (msg.message != WM_USER + 3) return false;
        order.push_back("inner");
        return msg.wParam == 1;  // swallowed: the owner never sees it
    };
    inner.onInit = [&](TestDlg& d) {
        PostMessageW(d.Item(kEdit), WM_USER + 3, 0, 0);
        PostMessageW(d.Item(kEdit), WM_USER + 3, 1, 0);
        PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(kOwnerDrawn, BN_CLICKED), 0);
    };
    EXPECT_EQ(inner.DoModal(outer.hwnd()), 11);
    EXPECT_EQ(order, (std::vector<std::string>{"inner", "outer", "inner"}));
}

TEST(Dialog, EscapeCancelsUnlessTheFilterSwallowsIt) {
    auto postEscape = [](TestDlg& d) {
        SetFocus(d.Item(kEdit));
        PostMessageW(d.Item(kEdit), WM_KEYDOWN, VK_ESCAPE, 0);
    };
    {
        TestDlg dlg;
        dlg.onInit = postEscape;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.log, std::vector<std::string>{"cancel"});
    }
    {
        TestDlg dlg;
        int swallowed = 0;
        dlg.onInit = [&](TestDlg& d) {
            postEscape(d);
            PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(kOwnerDrawn, BN_CLICKED), 0);
        };
        dlg.filter = [&](MSG& msg) {
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
                ++swallowed;
                return true;
            }
            return false;
        };
        EXPECT_EQ(dlg.DoModal(), 11);
        EXPECT_EQ(swallowed, 1);
        EXPECT_TRUE(dlg.log.empty());
    }
}

TEST(Control, BoundControlSeesItsMessagesFirst) {
    TestDlg dlg;
    LRESULT length = 0;
    dlg.onInit = [&](TestDlg& d) {
        length = SendMessageW(d.Item(kEdit), WM_GETTEXTLENGTH, 0, 0);
        d.EndDialog(IDOK);
    };
    dlg.DoModal();
    EXPECT_EQ(length, 77);
    EXPECT_EQ(dlg.edit.hwnd(), nullptr);  // detached when the window went away
}

TEST(Control, OwnerDrawIsReflectedToTheBoundControl) {
    TestDlg dlg;
    dlg.onInit = [](TestDlg& d) {
        ShowWindow(d.hwnd(), SW_SHOW);
        UpdateWindow(d.hwnd());
        d.EndDialog(IDOK);
    };
    dlg.DoModal();
    EXPECT_GE(dlg.button.drawn, 1);
    EXPECT_EQ(dlg.edit.drawn, 0);
}

TEST(Control, NotificationsGoToTheirControlFirstAndTheRestToTheTable) {
    TestDlg dlg;
    LRESULT answered = 0, leftToTable = 0, fromUnbound = 0;
    dlg.onInit = [&](TestDlg& d) {
        auto notify = [&](int id, UINT code) {
            NMHDR header = {d.Item(id), static_cast<UINT_PTR>(id), code};
            return SendMessageW(d.hwnd(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
        };
        answered = notify(kEdit, kAnsweredByControl);
        leftToTable = notify(kEdit, kLeftToTable);
        fromUnbound = notify(kLabel, kLeftToTable);
        d.EndDialog(IDOK);
    };
    dlg.DoModal();
    EXPECT_EQ(answered, 31);  // the control's answer reaches the sender; the table never saw it
    EXPECT_EQ(leftToTable, 42);
    EXPECT_EQ(fromUnbound, 42);
    EXPECT_EQ(dlg.edit.notified, (std::vector<UINT>{kAnsweredByControl, kLeftToTable}));
    EXPECT_TRUE(dlg.button.notified.empty());
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"notify 10", "notify 12"}));
}

// Someone else's subclass, put over whatever the window has.
class ForeignSubclass {
public:
    explicit ForeignSubclass(HWND window) : window_(window) {
        self_ = this;
        below_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignSubclass::Proc)));
    }
    ~ForeignSubclass() { SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(below_)); }
    int seen = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        ++self_->seen;
        return CallWindowProcW(self_->below_, hwnd, message, wParam, lParam);
    }
    static inline ForeignSubclass* self_ = nullptr;
    HWND window_;
    WNDPROC below_ = nullptr;
};

TEST(Control, DetachingUnderSomeoneElsesSubclassKeepsTheControlWorking) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(edit);
    const auto editProc = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    auto length = [&] { return SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0); };
    SetWindowTextW(edit, L"abc");
    {
        auto control = std::make_unique<RecordingControl>();
        control->Attach(edit);
        ForeignSubclass foreign(edit);
        EXPECT_EQ(length(), 77);
        control.reset();  // ours cannot come out from under the other one
        EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_USERDATA), 0) << "no pointer to the object that has gone";
        EXPECT_EQ(length(), 3) << "the edit's own procedure answers, not the object that has gone";
        SetWindowTextW(edit, L"abcd");
        EXPECT_EQ(length(), 4);

        RecordingControl next;  // takes over the subclass left in the chain
        next.Attach(edit);
        EXPECT_EQ(length(), 77);
        EXPECT_EQ(next.seen.back(), static_cast<UINT>(WM_GETTEXTLENGTH));
        next.Detach();
        EXPECT_EQ(length(), 4);
        EXPECT_GE(foreign.seen, 6);
    }
    // The other subclass has gone: ours leaves the chain on the next message.
    EXPECT_EQ(length(), 4);
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), editProc);
    // Attached elsewhere, a control lets go of the window it had.
    HWND other = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    RecordingControl last;
    last.Attach(edit);
    EXPECT_EQ(length(), 77);
    last.Attach(other);
    EXPECT_EQ(length(), 4);
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), editProc);
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_USERDATA), 0);
    EXPECT_EQ(SendMessageW(other, WM_GETTEXTLENGTH, 0, 0), 77);
    last.Detach();
    DestroyWindow(other);
    DestroyWindow(edit);
}

TEST(Dialog, ModelessWindowAndObjectMayGoInEitherOrder) {
    // The object goes while its window lives: the window goes with it.
    auto dlg = std::make_unique<TestDlg>();
    ASSERT_TRUE(dlg->CreateModeless(nullptr));
    HWND window = dlg->hwnd();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(DialogBase::FromHandle(window), dlg.get());
    EXPECT_EQ(SendMessageW(dlg->Item(kEdit), WM_GETTEXTLENGTH, 0, 0), 77);  // bound at creation
    TestDlg::destroyMessages_ = 0;
    dlg.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TestDlg::destroyMessages_, 0) << "no message reaches an object on its way out";
    EXPECT_EQ(DialogBase::FromHandle(window), nullptr);

    // The window goes first: the object lives on without one.
    TestDlg first;
    ASSERT_TRUE(first.CreateModeless(nullptr));
    window = first.hwnd();
    HWND edit = first.Item(kEdit);
    DestroyWindow(window);
    EXPECT_EQ(TestDlg::destroyMessages_, 1) << "a live object sees its window go";
    EXPECT_EQ(first.hwnd(), nullptr);
    EXPECT_EQ(first.edit.hwnd(), nullptr);
    EXPECT_EQ(DialogBase::FromHandle(window), nullptr);
    MSG msg = {edit, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_FALSE(DialogBase::PreTranslate(msg));
    first.EndDialog(IDOK);  // nothing left to destroy

    // EndDialog of a modeless dialog destroys its window, and it can be made again.
    ASSERT_TRUE(first.CreateModeless(nullptr));
    window = first.hwnd();
    first.EndDialog(IDOK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(first.hwnd(), nullptr);
    EXPECT_TRUE(first.log.empty());
}

TEST(App, ProgramDirectoryEndsWithBackslashAndHoldsTheProgram) {
    std::wstring dir = kavuno::ui::ProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), L'\\');
    EXPECT_EQ(kavuno::ui::ProgramPath().rfind(dir, 0), 0u);
}

}  // namespace
