#include "framework/bitmap_button.h"

#include <initializer_list>

#include "framework/gdi.h"

namespace kavuno::ui {

bool BitmapButton::SetImages(UINT normalId, UINT pressedId, UINT focusedId, UINT disabledId) {
    for (GdiObject<HBITMAP>* slot : {&normal_, &pressed_, &focused_, &disabled_}) slot->Reset();
    normal_.Reset(LoadBitmapResource(normalId));
    if (!normal_) return false;
    bool all = true;
    const struct {
        UINT id;
        GdiObject<HBITMAP>* slot;
    } optional[] = {{pressedId, &pressed_}, {focusedId, &focused_}, {disabledId, &disabled_}};
    for (const auto& image : optional) {
        if (image.id == 0) continue;
        image.slot->Reset(LoadBitmapResource(image.id));
        if (!*image.slot) all = false;
    }
    return all;
}

void BitmapButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
    HBITMAP image = normal_.get();
    if ((item.itemState & ODS_SELECTED) && pressed_)
        image = pressed_.get();
    else if ((item.itemState & ODS_FOCUS) && focused_)
        image = focused_.get();
    else if ((item.itemState & ODS_DISABLED) && disabled_)
        image = disabled_.get();
    // An empty slot keeps whatever is on the screen.
    const RECT& r = item.rcItem;
    DrawBitmap(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, image);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT) && focusByKeyboard_) {
        RECT focus = r;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(item.hDC, &focus);
    }
}

bool BitmapButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_SETFOCUS) focusByKeyboard_ = GetKeyState(VK_LBUTTON) >= 0 && GetKeyState(VK_RBUTTON) >= 0;
    if (message != WM_LBUTTONDBLCLK) return false;
    result = CallDefault(WM_LBUTTONDOWN, wParam, lParam);
    return true;
}

}  // namespace kavuno::ui
