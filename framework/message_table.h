// A dialog's message table: which handler runs for which message, command or
// notification. A table reads like this:
//
//   const MessageEntry<ExampleDialog> ExampleDialog::kMessageTable[] = {
//       OnMessage(WM_PAINT, &ExampleDialog::OnPaint),
//       OnCommand(BN_CLICKED, IDC_CLOSE, &ExampleDialog::OnClose),
//       OnNotify(NM_CLICK, IDC_CATEGORY_TREE, &ExampleDialog::OnTreeClick),
//       OnTimer(kStatusTimer, &ExampleDialog::OnStatusTick),
//       OnMessage(WM_TIMER, &ExampleDialog::OnOtherTimers),
//   };
//
// The first matching entry runs. Message handlers return false to let the
// dialog's default processing run.
#pragma once
#include <windows.h>

#include <span>

namespace kavuno::ui {

template <class T>
struct MessageEntry {
    enum class Kind { Message, Command, Notify, Timer };
    using MessageHandler = bool (T::*)(WPARAM wParam, LPARAM lParam, LRESULT& result);
    using CommandHandler = void (T::*)();
    using NotifyHandler = void (T::*)(NMHDR* header, LRESULT& result);

    Kind kind;
    UINT message;  // Message: the message; Command and Notify: the notification code
    UINT id;       // Command and Notify: the control id; Timer: the timer id
    MessageHandler onMessage;
    CommandHandler onCommand;
    NotifyHandler onNotify;
};

template <class T>
constexpr MessageEntry<T> OnMessage(UINT message, bool (T::*handler)(WPARAM, LPARAM, LRESULT&)) {
    return {MessageEntry<T>::Kind::Message, message, 0, handler, nullptr, nullptr};
}

template <class T>
constexpr MessageEntry<T> OnCommand(UINT code, UINT id, void (T::*handler)()) {
    return {MessageEntry<T>::Kind::Command, code, id, nullptr, handler, nullptr};
}

// WM_TIMER of one timer id; the handler's turn ends the message.
template <class T>
constexpr MessageEntry<T> OnTimer(UINT timerId, void (T::*handler)()) {
    return {MessageEntry<T>::Kind::Timer, WM_TIMER, timerId, nullptr, handler, nullptr};
}

template <class T>
constexpr MessageEntry<T> OnNotify(UINT code, UINT id, void (T::*handler)(NMHDR*, LRESULT&)) {
    return {MessageEntry<T>::Kind::Notify, code, id, nullptr, nullptr, handler};
}

// Looks `message` up in `table` and runs the first matching handler.
template <class T>
bool DispatchMessageTable(T& self, std::span<const MessageEntry<T>> table, UINT message, WPARAM wParam, LPARAM lParam,
                          LRESULT& result) {
    using Kind = typename MessageEntry<T>::Kind;
    for (const MessageEntry<T>& entry : table) {
        switch (entry.kind) {
        case Kind::Message:
            if (entry.message == message && (self.*entry.onMessage)(wParam, lParam, result)) return true;
            break;
        case Kind::Command:
            if (message == WM_COMMAND && HIWORD(wParam) == entry.message && LOWORD(wParam) == entry.id) {
                (self.*entry.onCommand)();
                result = 0;
                return true;
            }
            break;
        case Kind::Timer:
            if (message == WM_TIMER && wParam == entry.id) {
                (self.*entry.onCommand)();
                result = 0;
                return true;
            }
            break;
        case Kind::Notify:
            if (message == WM_NOTIFY) {
                auto* header = reinterpret_cast<NMHDR*>(lParam);
                if (header->code == entry.message && header->idFrom == entry.id) {
                    result = 0;
                    (self.*entry.onNotify)(header, result);
                    return true;
                }
            }
            break;
        }
    }
    return false;
}

}  // namespace kavuno::ui
