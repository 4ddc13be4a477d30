#include "tools/testing/stand_in_controls/picture_painter.h"

#include <algorithm>
#include <cmath>

namespace kavuno::stand_in {
namespace {

class Font {
public:
    Font(int height, int weight)
        : font_(CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"SimSun")) {}
    ~Font() { DeleteObject(font_); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    HFONT get() const { return font_; }

private:
    HFONT font_;
};

void FillRect(HDC dc, const RECT& r, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Line(HDC dc, const Font& font, COLORREF colour, const std::wstring& text, RECT r, UINT format) {
    HGDIOBJ old = SelectObject(dc, font.get());
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

}  // namespace

void PaintFrame(HDC dc, const RECT& area, const BITMAPINFOHEADER& header, const void* bits) {
    BITMAPINFO info{};
    info.bmiHeader = header;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, 0, 0, header.biWidth,
                  std::abs(header.biHeight), bits, &info, DIB_RGB_COLORS, SRCCOPY);
}

void PaintSimulatedPicture(HDC dc, const RECT& area, const std::wstring& address, const PlaybackSnapshot& snapshot,
                           const std::wstring& status) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    FillRect(dc, area, RGB(16, 24, 48));

    // A band that sweeps across once a second of the stream, so that a
    // running clock is visible as motion.
    const int band = std::max(8, width / 10);
    const double second = std::fmod(snapshot.positionMs / 1000.0, 1.0);
    const int x = area.left + static_cast<int>((width - band) * second);
    RECT sweep{x, area.top + height / 4, x + band, area.top + height * 3 / 4};
    FillRect(dc, sweep, RGB(40, 90, 160));

    // The position within the clip, as a bar along the bottom.
    RECT track{area.left, area.bottom - std::max(4, height / 30), area.right, area.bottom};
    FillRect(dc, track, RGB(50, 50, 60));
    if (snapshot.lengthMs > 0) {
        RECT done = track;
        done.right = area.left +
                     static_cast<int>(width * std::clamp(snapshot.positionMs / snapshot.lengthMs, 0.0, 1.0));
        FillRect(dc, done, RGB(230, 180, 40));
    }

    const int text = std::max(10, height / 14);
    Font small(text, FW_NORMAL), large(text * 2, FW_BOLD);
    RECT top{area.left + text / 2, area.top + text / 2, area.right - text / 2, area.top + text * 2};
    Line(dc, small, RGB(200, 200, 200), address, top, DT_LEFT | DT_END_ELLIPSIS);

    std::wstring clock = ClockText(snapshot.positionMs) + L" / " + ClockText(snapshot.lengthMs);
    RECT middle{area.left, area.top + height / 2 - text * 2, area.right, area.top + height / 2};
    Line(dc, large, RGB(255, 255, 255), clock, middle, DT_CENTER | DT_BOTTOM);
    RECT below{area.left, area.top + height / 2 + text / 2, area.right, area.top + height / 2 + text * 2};
    Line(dc, small, RGB(255, 220, 120), status, below, DT_CENTER | DT_TOP);
}

void PaintCaption(HDC dc, const RECT& area, const std::wstring& text) {
    FillRect(dc, area, RGB(0, 0, 0));
    if (text.empty()) return;
    Font font(std::max(10, static_cast<int>(area.bottom - area.top) / 14), FW_NORMAL);
    Line(dc, font, RGB(200, 200, 200), text, area, DT_CENTER | DT_VCENTER);
}

}  // namespace kavuno::stand_in
