// An owner-drawn push button painted from bitmap resources. It holds four image
// slots (normal, pressed, focused, disabled), each empty or holding one bitmap,
// and keeps the size the dialog template gives it: a larger image is clipped at
// the button's right and bottom edges. The template control needs the
// owner-draw button style (BS_OWNERDRAW).
#pragma once
#include <windows.h>

#include "framework/control.h"
#include "framework/ownership.h"

namespace kavuno::ui {

class BitmapButton : public Control {
public:
    // Releases all four slots, then loads the normal image and each other image
    // whose id is not 0, from the program's resources. True only when every
    // load succeeded; when the normal image fails the other slots stay empty.
    // The caller redraws the button when it wants the new images shown at once.
    bool SetImages(UINT normalId, UINT pressedId = 0, UINT focusedId = 0, UINT disabledId = 0);

    // Pressed image while held down, else focused, else disabled — each only
    // if its slot is filled — else the normal image. An empty slot draws nothing.
    // A button that the keyboard gave the focus to shows a focus rectangle.
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    // An owner-drawn button reports the second of two quick clicks as
    // BN_DOUBLECLICKED and never as BN_CLICKED, so a user clicking twice would
    // lose the second click; it is pressed like the first one instead.
    // Also notes how the focus came.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    GdiObject<HBITMAP> normal_;
    GdiObject<HBITMAP> pressed_;
    GdiObject<HBITMAP> focused_;
    GdiObject<HBITMAP> disabled_;
    // A click focuses the button too, but the faces the mouse sees stay as drawn.
    bool focusByKeyboard_ = false;
};

}  // namespace kavuno::ui
