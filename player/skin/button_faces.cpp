#include "player/skin/button_faces.h"

#include "framework/gdi.h"
#include "resources/player/resource.h"

namespace kavuno::skin {

ButtonFaces::ButtonFaces(const SkinButtons& buttons)
    : buttons_(buttons),
      polled_{{
          {&buttons.close, {IDB_CLOSE_HOVER, IDB_CLOSE_PRESSED}, {IDB_CLOSE, IDB_CLOSE_PRESSED}, 0},
          {&buttons.minimize, {IDB_MINIMIZE_HOVER, IDB_MINIMIZE_PRESSED}, {IDB_MINIMIZE, IDB_MINIMIZE_PRESSED}, 0},
          {&buttons.fullScreen,
           {IDB_FULL_SCREEN_HOVER, IDB_FULL_SCREEN_PRESSED},
           {IDB_FULL_SCREEN, IDB_FULL_SCREEN_PRESSED},
           0},
          {&buttons.stop, {IDB_STOP_HOVER, IDB_STOP_PRESSED}, {IDB_STOP, IDB_STOP_PRESSED}, 0},
          {&buttons.topmost, {IDB_TOPMOST_HOVER, IDB_TOPMOST_PRESSED}, {IDB_TOPMOST, IDB_TOPMOST_PRESSED}, 0},
          {&buttons.playPause, {}, {}, 0, &buttons.playPause},
      }} {}

void ButtonFaces::LoadSetUpImages() {
    buttons_.close.SetImages(IDB_CLOSE, IDB_CLOSE_PRESSED);
    buttons_.maximize.SetImages(IDB_MAXIMIZE);
    buttons_.minimize.SetImages(IDB_MINIMIZE, IDB_MINIMIZE_PRESSED);
    buttons_.search.SetImages(IDB_SEARCH, IDB_SEARCH_PRESSED);
    // Until the pointer first leaves them, these four are pressed with the
    // pointer-over face.
    buttons_.topmost.SetImages(IDB_TOPMOST, IDB_TOPMOST_HOVER);
    buttons_.fullScreen.SetImages(IDB_FULL_SCREEN, IDB_FULL_SCREEN_HOVER);
    buttons_.stop.SetImages(IDB_STOP, IDB_STOP_HOVER);
    buttons_.playPause.SetImages(IDB_PLAY, IDB_PLAY_HOVER);
    buttons_.mode.SetImages(IDB_MODE_FULL, IDB_MODE_FULL);
}

void ButtonFaces::PollHover() {
    std::array<RECT, std::tuple_size_v<decltype(polled_)>> rects;
    for (std::size_t i = 0; i < polled_.size(); ++i) GetWindowRect(polled_[i].button->hwnd(), &rects[i]);
    POINT pointer;
    if (!GetCursorPos(&pointer)) return;
    for (std::size_t i = 0; i < polled_.size(); ++i) {
        const bool over = PtInRect(&rects[i], pointer) != FALSE;
        if (over != (polled_[i].hover == 1)) ShowFaces(polled_[i], over);
    }
}

void ButtonFaces::ShowFaces(Polled& polled, bool pointerOver) {
    polled.hover = pointerOver ? 1 : 0;
    if (polled.glyph) {
        polled.glyph->ShowPlaying(polled.glyph->ShowsPlaying(), pointerOver);  // redraws it
        return;
    }
    const Faces& faces = pointerOver ? polled.enter : polled.leave;
    polled.button->SetImages(faces.normal, faces.pressed);
    ui::RedrawNow(polled.button->hwnd());
}

}  // namespace kavuno::skin
