// The windows a control shows its picture in: the child window of its
// in-place site, and the full-screen window (borderless, top-most, over the
// whole monitor; Escape or a double-click closes it). Both repaint whenever
// the picture's key changes, checked by a timer.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

namespace kavuno::stand_in {

class PictureWindow {
public:
    using Painter = std::function<void(HDC, const RECT&)>;
    using KeySource = std::function<std::uint64_t()>;
    using Tick = std::function<void()>;

    // `tick` runs on every timer tick before the key is looked at; it may
    // destroy the window.
    PictureWindow(Painter painter, KeySource key, Tick tick = nullptr)
        : painter_(std::move(painter)), key_(std::move(key)), tick_(std::move(tick)) {}
    ~PictureWindow() { Destroy(); }
    PictureWindow(const PictureWindow&) = delete;
    PictureWindow& operator=(const PictureWindow&) = delete;

    bool CreateChild(HWND parent, const RECT& rect);
    // Over the monitor nearest to `nearby` (the primary one when null).
    bool CreateFullScreen(HWND owner, HWND nearby);
    void Destroy();
    HWND hwnd() const { return hwnd_; }

    static void UnregisterClasses();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    Painter painter_;
    KeySource key_;
    Tick tick_;
    HWND hwnd_ = nullptr;
    bool fullScreen_ = false;
    std::uint64_t paintedKey_ = 0;
};

}  // namespace kavuno::stand_in
