// Reading dialog resources without the windowing system: the controls of a
// dialog template (DIALOG or DIALOGEX) with their rectangles in dialog units,
// and the initial data of its controls (combo box items). The main window uses
// both to lay itself out at the reference base units and to fill its combo box.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kavuno::player {

struct UnitRect {
    int x = 0, y = 0, cx = 0, cy = 0;
    bool operator==(const UnitRect&) const = default;
};

// A class or title field of a template: a text or a resource ordinal.
struct NameOrOrdinal {
    std::u16string text;
    std::optional<uint16_t> ordinal;
};

struct TemplateItem {
    int id = 0;  // sign-extended from 16 bits: -1 for a label without id
    uint32_t style = 0;
    uint32_t exStyle = 0;
    UnitRect rect;
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
};

struct DialogTemplate {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    UnitRect rect;
    std::u16string title;
    uint16_t pointSize = 0;  // 0 when the template names no font
    std::u16string typeface;
    std::vector<TemplateItem> items;  // in template order, the order the controls are created
};

// Nothing when the bytes are not a complete template.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const uint8_t> bytes);

// Pixels at the reference base units of the template's font, "宋体" at 96 dpi:
// 6 pixels per 4 horizontal units and 12 per 8 vertical at 9 points, in
// proportion for other sizes (7 and 13 at 10 points). Rounded as the dialog
// manager rounds: each of x, y, cx, cy alone.
UnitRect ToReferencePixels(const UnitRect& units, uint16_t pointSize = 9);

// One entry of a dialog's initial data: a message for a control, with its bytes
// (for combo box items the 8-bit text without its terminator).
struct InitialDataEntry {
    uint16_t controlId = 0;
    uint16_t message = 0;
    std::string bytes;
};

// Nothing when an entry runs past the end of the data.
std::optional<std::vector<InitialDataEntry>> ParseInitialData(std::span<const uint8_t> bytes);

}  // namespace kavuno::player
