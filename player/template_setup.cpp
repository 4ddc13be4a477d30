#include "player/template_setup.h"

#include <span>

#include "common/gbk_win.h"
#include "player/dialog_template.h"

namespace kavuno::player {
namespace {

constexpr WORD kDialogInitData = 240;         // RT_DLGINIT
constexpr WORD kComboAddStringData = 0x0403;  // the combo box item message initial data carry

std::span<const uint8_t> ResourceBytes(HINSTANCE instance, UINT id, LPCWSTR type) {
    HRSRC info = FindResourceW(instance, MAKEINTRESOURCEW(id), type);
    if (!info) return {};
    HGLOBAL handle = LoadResource(instance, info);
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data) return {};
    return {static_cast<const uint8_t*>(data), SizeofResource(instance, info)};
}

}  // namespace

void FillInitialData(HWND dialog, HINSTANCE instance, UINT templateId) {
    const auto entries = ParseInitialData(ResourceBytes(instance, templateId, MAKEINTRESOURCEW(kDialogInitData)));
    if (!entries) return;
    for (const InitialDataEntry& entry : *entries) {
        if (entry.message != kComboAddStringData) continue;
        const std::wstring text = gbk::ToWide(entry.bytes);
        SendDlgItemMessageW(dialog, entry.controlId, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void PlaceAtReferenceUnits(HWND dialog, HINSTANCE instance, UINT templateId) {
    const auto layout = ParseDialogTemplate(ResourceBytes(instance, templateId, RT_DIALOG));
    if (!layout) return;

    // The template's size is the client area; add whatever frame the style has.
    const UnitRect size = ToReferencePixels(layout->rect, layout->pointSize);
    RECT frame = {0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The controls were created in template order, each below the ones before.
    HWND control = GetWindow(dialog, GW_CHILD);
    for (const TemplateItem& item : layout->items) {
        if (!control) break;
        if (static_cast<WORD>(GetDlgCtrlID(control)) != static_cast<WORD>(item.id)) continue;
        const UnitRect pixels = ToReferencePixels(item.rect, layout->pointSize);
        // A combo box takes the height as that of its drop-down list, as at creation.
        SetWindowPos(control, nullptr, pixels.x, pixels.y, pixels.cx, pixels.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        control = GetWindow(control, GW_HWNDNEXT);
    }
}

}  // namespace kavuno::player
