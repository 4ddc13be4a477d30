// The movie list as a virtual list: rows put at the top in the order the
// list fills give, item data readable with LVM_GETITEM like a plain list's,
// clearing by LVM_DELETEALLITEMS from anyone, texts of the rows drawn, and
// type-ahead over the titles, both answered by the list's own notifications.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/gbk_win.h"
#include "player/catalogue/movie_record.h"
#include "player/catalogue/list_rows.h"
#include "player/catalogue/movie_list_view.h"

namespace kavuno::player {
namespace {

catalogue::MovieRecord Record(const std::wstring& title, const std::wstring& kind, const std::wstring& parent = L"") {
    catalogue::RecordFields fields;
    fields.title = gbk::FromWide(title);
    fields.kind = gbk::FromWide(kind);
    fields.parent = gbk::FromWide(parent);
    return catalogue::MovieRecord(fields);
}

class MovieListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        for (const auto& r : std::vector<catalogue::MovieRecord>{
                 Record(L"占位", L"动作片"), Record(L"龙虾侦探社", L"动作片"), Record(L"柳溪记", L"大陆剧"),
                 Record(L"柳溪记 第1集", L"大陆剧", L"柳溪记"), Record(L"Police Teapot", L"动作片"),
                 Record(L"柳溪记 第2集", L"大陆剧", L"柳溪记"), Record(L"police aquarium", L"喜剧片")}) {
            records_.Append(r);
        }
        list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT | LVS_OWNERDATA, 0, 0, 300, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(list_);
        view_.Attach(list_);
        view_.InsertColumns();
    }
    void TearDown() override {
        view_.Detach();
        DestroyWindow(list_);
    }

    // What another program reading the list would see: item data by LVM_GETITEM.
    std::vector<std::size_t> ItemData() const {
        std::vector<std::size_t> data;
        const int count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            LVITEMW item = {};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            EXPECT_TRUE(SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            data.push_back(static_cast<std::size_t>(item.lParam));
        }
        return data;
    }

    // What the list asks its parent before drawing a row; the parent hands it back.
    std::wstring Text(int row, int column) {
        wchar_t buffer[256] = L"?";
        NMLVDISPINFOW info = {};
        info.hdr = {list_, 1005, LVN_GETDISPINFOW};
        info.item.mask = LVIF_TEXT;
        info.item.iItem = row;
        info.item.iSubItem = column;
        info.item.pszText = buffer;
        info.item.cchTextMax = 256;
        LRESULT result = -1;
        EXPECT_TRUE(view_.OnNotifyReflect(info.hdr, result));
        return buffer;
    }

    catalogue::RecordArray records_;
    MovieListView view_{&records_};
    HWND list_ = nullptr;
};

TEST_F(MovieListViewTest, SeriesEpisodesShowLastFirstWithTheirRecordIndices) {
    view_.InsertRowsAtTop(catalogue::CategoryRows(records_, gbk::FromWide(L"大陆剧"), gbk::FromWide(L"柳溪记")));
    EXPECT_EQ(ItemData(), (std::vector<std::size_t>{5, 3}));
    EXPECT_EQ(Text(0, 0), L"柳溪记 第2集");
    EXPECT_EQ(Text(0, 1), L"大陆剧");
    EXPECT_EQ(Text(1, 0), L"柳溪记 第1集");
}

TEST_F(MovieListViewTest, RowsGoAboveTheRowsAlreadyShownAsInsertingAtTheTopWould) {
    view_.InsertRowsAtTop(std::vector<std::size_t>{1, 2});
    view_.InsertRowsAtTop(std::vector<std::size_t>{6, 4});
    EXPECT_EQ(ItemData(), (std::vector<std::size_t>{6, 4, 1, 2}));
    EXPECT_EQ(view_.RowCount(), 4u);
}

TEST_F(MovieListViewTest, DeleteAllItemsFromAnySenderEmptiesTheRows) {
    view_.InsertRowsAtTop(catalogue::RecentRows(records_));
    EXPECT_EQ(ItemData(), (std::vector<std::size_t>{6, 4, 2, 1}));
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(view_.RowCount(), 0u);
    EXPECT_TRUE(ItemData().empty());
    view_.InsertRowsAtTop(std::vector<std::size_t>{2});
    EXPECT_EQ(ItemData(), (std::vector<std::size_t>{2}));
}

TEST_F(MovieListViewTest, RowsOutsideTheListMeanNoRecord) {
    view_.InsertRowsAtTop(std::vector<std::size_t>{2});
    EXPECT_EQ(view_.RecordIndexAt(-1), 0u);
    EXPECT_EQ(view_.RecordIndexAt(1), 0u);
    EXPECT_EQ(Text(5, 0), L"");
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = 7;
    item.lParam = 99;
    SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.lParam, 0);
}

TEST_F(MovieListViewTest, LongTitlesAreCutToTheBufferTheListGives) {
    records_.Append(Record(std::wstring(300, L'长'), L"动作片"));
    view_.InsertRowsAtTop(std::vector<std::size_t>{7});
    wchar_t buffer[8];
    NMLVDISPINFOW info = {};
    info.item.mask = LVIF_TEXT;
    info.item.pszText = buffer;
    info.item.cchTextMax = 8;
    view_.OnGetDisplayInfo(info);
    EXPECT_EQ(std::wstring(buffer), std::wstring(7, L'长'));
}

TEST_F(MovieListViewTest, TypeAheadFindsTitlesByTheirStartIgnoringCaseAndWraps) {
    view_.InsertRowsAtTop(std::vector<std::size_t>{1, 4, 2, 6});
    auto find = [&](const wchar_t* text, int start, UINT flags = LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP) {
        NMLVFINDITEMW request = {};
        request.hdr = {list_, 1005, LVN_ODFINDITEMW};
        request.iStart = start;
        request.lvfi.flags = flags;
        request.lvfi.psz = text;
        LRESULT row = -2;
        EXPECT_TRUE(view_.OnNotifyReflect(request.hdr, row));
        return static_cast<int>(row);
    };
    EXPECT_EQ(find(L"pol", 0), 1);  // "Police Teapot"
    EXPECT_EQ(find(L"pol", 2), 3);  // "police aquarium", the next one from row 2
    EXPECT_EQ(find(L"POLICE A", 0), 3);
    EXPECT_EQ(find(L"龙", 2), 0);  // wraps around to the top
    EXPECT_EQ(find(L"龙", 2, LVFI_PARTIAL | LVFI_STRING), -1);
    EXPECT_EQ(find(L"柳溪记", 0, LVFI_STRING), 2);  // whole title
    EXPECT_EQ(find(L"柳溪", 0, LVFI_STRING), -1);
    EXPECT_EQ(find(L"没有", 0), -1);
}

TEST_F(MovieListViewTest, ClicksAreLeftToTheWindowAndCustomDrawIsTheLists) {
    LRESULT result = 0;
    for (UINT code : {NM_CLICK, NM_DBLCLK}) {
        NMHDR header = {list_, 1005, code};
        EXPECT_FALSE(view_.OnNotifyReflect(header, result)) << code;
    }
    NMLVCUSTOMDRAW draw = {};
    draw.nmcd.hdr = {list_, 1005, NM_CUSTOMDRAW};
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_TRUE(view_.OnNotifyReflect(draw.nmcd.hdr, result));
    EXPECT_EQ(result, CDRF_NOTIFYITEMDRAW);  // it asks for every item: the unfocused selection's colours
}

}  // namespace
}  // namespace kavuno::player
