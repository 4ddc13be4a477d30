// The movie list (IDC_MOVIE_LIST): a virtual report list whose rows are record
// indices into the main window's record array. Column 0 shows the record's
// title, column 1 its kind; a row's item data is its record index, also when
// read with LVM_GETITEM, so code that reads the list as a plain list of items
// sees the same rows. Index 0 means no record. The list answers its own
// notifications for the rows' texts, type-ahead and the colours of its
// selection.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <span>
#include <vector>

#include "framework/control.h"
#include "player/catalogue/record_array.h"

namespace kavuno::player {

class MovieListView : public ui::Control {
public:
    // `records` must outlive the view.
    explicit MovieListView(const catalogue::RecordArray* records) : records_(*records) {}

    // Adds the columns: "         片   名" (left, 160 pixels), "类型" (centred, 72).
    void InsertColumns();
    // Removes every row (LVM_DELETEALLITEMS, also when sent by others).
    void Clear();
    // Puts `rows` (record indices, top row first) above the rows already shown,
    // as inserting each of them in turn at its place from the top would.
    void InsertRowsAtTop(std::span<const std::size_t> rows);

    std::size_t RowCount() const { return rows_.size(); }
    // The record index of a row; 0 for a row that does not exist.
    std::size_t RecordIndexAt(int row) const;
    // The record index of the first selected row (LVM_GETNEXTITEM with
    // LVNI_SELECTED); 0 when nothing is selected or the index is beyond the records.
    std::size_t SelectedRecordIndex() const;

    // Texts of the rows the list is about to draw (LVN_GETDISPINFO).
    void OnGetDisplayInfo(NMLVDISPINFOW& info) const;
    // Type-ahead over the titles (LVN_ODFINDITEM): the row, or -1.
    int OnFindItem(const NMLVFINDITEMW& find) const;
    // The two above, and custom draw in the skin's colours.
    bool OnNotifyReflect(NMHDR& header, LRESULT& result) override;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    const catalogue::RecordArray& records_;
    std::vector<std::size_t> rows_;
};

}  // namespace kavuno::player
