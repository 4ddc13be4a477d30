#include "player/catalogue/movie_list_view.h"

#include <algorithm>
#include <string>

#include "common/gbk_win.h"
#include "player/skin/window_skin.h"

namespace kavuno::player {
namespace {

void CopyText(const std::wstring& text, LPWSTR buffer, int capacity) {
    if (!buffer || capacity <= 0) return;
    const size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    text.copy(buffer, n);
    buffer[n] = L'\0';
}

}  // namespace

void MovieListView::InsertColumns() {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    wchar_t title[] = L"         片   名";
    column.fmt = LVCFMT_LEFT;
    column.cx = 160;
    column.pszText = title;
    column.iSubItem = 0;
    Send(LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    wchar_t kind[] = L"类型";
    column.fmt = LVCFMT_CENTER;
    column.cx = 72;
    column.pszText = kind;
    column.iSubItem = 1;
    Send(LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
}

void MovieListView::Clear() { Send(LVM_DELETEALLITEMS); }

void MovieListView::InsertRowsAtTop(std::span<const std::size_t> rows) {
    if (rows.empty()) return;
    rows_.insert(rows_.begin(), rows.begin(), rows.end());
    Send(LVM_SETITEMCOUNT, rows_.size(), 0);
}

std::size_t MovieListView::RecordIndexAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return 0;
    return rows_[static_cast<std::size_t>(row)];
}

std::size_t MovieListView::SelectedRecordIndex() const {
    const int row = static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    const std::size_t index = RecordIndexAt(row);
    return index < records_.size() ? index : 0;
}

void MovieListView::OnGetDisplayInfo(NMLVDISPINFOW& info) const {
    LVITEMW& item = info.item;
    const std::size_t index = RecordIndexAt(item.iItem);
    if (item.mask & LVIF_PARAM) item.lParam = static_cast<LPARAM>(index);
    if (!(item.mask & LVIF_TEXT)) return;
    if (index == 0 || index >= records_.size()) {
        CopyText(std::wstring(), item.pszText, item.cchTextMax);
        return;
    }
    const catalogue::MovieRecord& record = records_[index];
    CopyText(gbk::ToWide(item.iSubItem == 0 ? record.title() : record.kind()), item.pszText, item.cchTextMax);
}

int MovieListView::OnFindItem(const NMLVFINDITEMW& find) const {
    const LVFINDINFOW& what = find.lvfi;
    if (!(what.flags & (LVFI_STRING | LVFI_PARTIAL)) || !what.psz || rows_.empty()) return -1;
    const std::wstring wanted = what.psz;
    const bool partial = (what.flags & LVFI_PARTIAL) != 0;
    const std::size_t count = rows_.size();
    const std::size_t start = find.iStart < 0 || static_cast<std::size_t>(find.iStart) >= count
                                  ? 0
                                  : static_cast<std::size_t>(find.iStart);
    const std::size_t steps = (what.flags & LVFI_WRAP) ? count : count - start;
    for (std::size_t step = 0; step < steps; ++step) {
        const std::size_t row = (start + step) % count;
        std::wstring title = gbk::ToWide(records_[rows_[row]].title());
        if (partial) {
            if (title.size() < wanted.size()) continue;
            title.resize(wanted.size());
        }
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, title.c_str(), static_cast<int>(title.size()),
                           wanted.c_str(), static_cast<int>(wanted.size())) == CSTR_EQUAL)
            return static_cast<int>(row);
    }
    return -1;
}

bool MovieListView::OnNotifyReflect(NMHDR& header, LRESULT& result) {
    switch (header.code) {
    case LVN_GETDISPINFOW: OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header)); return true;
    case LVN_ODFINDITEMW: result = OnFindItem(reinterpret_cast<NMLVFINDITEMW&>(header)); return true;
    case NM_CUSTOMDRAW: result = skin::WindowSkin::DrawListItem(reinterpret_cast<NMLVCUSTOMDRAW&>(header)); return true;
    default: return false;
    }
}

bool MovieListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case LVM_DELETEALLITEMS: rows_.clear(); return false;
    case LVM_GETITEMW:
    case LVM_GETITEMA: {
        // A virtual list keeps no item data; answer it from the rows.
        result = CallDefault(message, wParam, lParam);
        auto* item = reinterpret_cast<LVITEMW*>(lParam);  // the mask, item and lParam fields match in LVITEMA
        if (item && (item->mask & LVIF_PARAM)) item->lParam = static_cast<LPARAM>(RecordIndexAt(item->iItem));
        return true;
    }
    default: return false;
    }
}

}  // namespace kavuno::player
