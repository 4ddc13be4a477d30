// The resources built into kavuno.exe: the main window's template with every
// control as the window's parts expect it, the search types' initial data,
// the icon and the common-controls manifest.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <span>
#include <string>

#include "common/gbk_win.h"
#include "player/dialog_template.h"
#include "resources/player/resource.h"
#include "tests/win/player/player_module.h"

namespace kavuno::player {
namespace {

class PlayerResourcesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module_ = LoadPlayerResources(); }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
    }

    static std::span<const uint8_t> Resource(UINT id, LPCWSTR type) {
        HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
        if (!info) return {};
        HGLOBAL handle = LoadResource(module_, info);
        return {static_cast<const uint8_t*>(LockResource(handle)), SizeofResource(module_, info)};
    }

    static HMODULE module_;
};
HMODULE PlayerResourcesTest::module_ = nullptr;

struct Expected {
    int id;
    const char16_t* windowClass;  // the class name, any case
    uint16_t ordinal;             // the predefined class's ordinal, which may stand for its name
    const char16_t* text;
    uint32_t style;  // bits that must be set, besides WS_CHILD
    UnitRect rect;
    bool visible = true;
};

constexpr uint16_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kComboBox = 0x85;

// Every control of the window, in template order.
const Expected kControls[] = {
    {IDC_CATEGORY_TREE,
     u"SysTreeView32",
     0,
     u"Tree1",
     TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP,
     {2, 44, 78, 217}},
    {IDC_MOVIE_LIST, u"SysListView32", 0, u"List1", LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, {82, 43, 168, 218}},
    {IDC_SEARCH_TEXT, u"Edit", kEdit, u"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, {41, 23, 57, 12}},
    {IDC_SEARCH_TYPE,
     u"ComboBox",
     kComboBox,
     u"",
     CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP,
     {159, 23, 50, 111}},
    {IDC_MINIMIZE, u"Button", kButton, u"最小化", BS_OWNERDRAW | WS_TABSTOP, {453, 2, 15, 15}},
    {IDC_MAXIMIZE, u"Button", kButton, u"", BS_OWNERDRAW | WS_DISABLED, {469, 2, 15, 15}},
    {IDC_CLOSE, u"Button", kButton, u"关闭", BS_OWNERDRAW | WS_TABSTOP, {485, 2, 15, 15}},
    {IDC_SEARCH_LABEL, u"Static", kStatic, u"条件：", SS_LEFT, {16, 25, 24, 10}},
    {IDC_SEARCH, u"Button", kButton, u"搜索", BS_OWNERDRAW | WS_TABSTOP, {100, 23, 15, 13}},
    {-1, u"Static", kStatic, u"搜索类型：", SS_LEFT, {118, 25, 40, 8}},
    {-1, u"Static", kStatic, u"功 能", SS_LEFT, {348, 26, 21, 8}, false},
    {IDC_HELP_LABEL, u"Static", kStatic, u"帮 助", SS_NOTIFY, {465, 26, 21, 8}},
    {IDC_VIDEO_AREA, u"Static", kStatic, u"", SS_LEFT, {261, 45, 240, 170}},
    {IDC_FULL_SCREEN, u"Button", kButton, u"全屏", BS_OWNERDRAW | WS_TABSTOP, {477, 233, 20, 19}},
    {IDC_STOP, u"Button", kButton, u"停止", BS_OWNERDRAW | WS_TABSTOP, {290, 233, 20, 19}},
    {IDC_PLAY_PAUSE, u"Button", kButton, u"播放", BS_OWNERDRAW | WS_TABSTOP, {265, 233, 20, 19}},
    {IDC_MODE, u"Button", kButton, u"播放模式", BS_OWNERDRAW | WS_TABSTOP, {252, 129, 6, 11}},
    {IDC_PLAY_TIME, u"Static", kStatic, u"00:00:00/00:00:00", SS_RIGHT, {429, 219, 71, 8}},
    {IDC_STATUS_LINE, u"Static", kStatic, u"长时间观看注意眼睛休息！！", SS_LEFT, {261, 219, 164, 8}},
    {IDC_TOPMOST, u"Button", kButton, u"保持在最前", BS_OWNERDRAW | WS_TABSTOP, {435, 1, 15, 15}},
    {IDC_POSITION, u"msctls_trackbar32", 0, u"Slider1", TBS_BOTH | TBS_NOTICKS | WS_TABSTOP, {323, 237, 104, 10}},
};

bool IsClass(const TemplateItem& item, const Expected& want) {
    if (item.windowClass.ordinal) return want.ordinal != 0 && *item.windowClass.ordinal == want.ordinal;
    const std::wstring name(item.windowClass.text.begin(), item.windowClass.text.end());
    const std::wstring wanted(want.windowClass,
                              want.windowClass + std::char_traits<char16_t>::length(want.windowClass));
    return CompareStringOrdinal(name.c_str(), -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL;
}

TEST_F(PlayerResourcesTest, MainWindowTemplateIsAFramelessPopupOfTheReferenceSize) {
    ASSERT_TRUE(module_) << "kavuno.exe not found beside the test";
    const auto dialog = ParseDialogTemplate(Resource(IDD_PLAYER, RT_DIALOG));
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->style, static_cast<uint32_t>(WS_POPUP | WS_VISIBLE | WS_MINIMIZEBOX | WS_SYSMENU | DS_SETFONT));
    EXPECT_EQ(dialog->exStyle, static_cast<uint32_t>(WS_EX_APPWINDOW));
    EXPECT_EQ(dialog->rect.cx, 506);
    EXPECT_EQ(dialog->rect.cy, 264);
    EXPECT_EQ(dialog->pointSize, 9);
    EXPECT_EQ(dialog->typeface, u"宋体");
}

TEST_F(PlayerResourcesTest, MainWindowTemplateHoldsEveryControlWithItsClassTextStyleAndRectangle) {
    const auto dialog = ParseDialogTemplate(Resource(IDD_PLAYER, RT_DIALOG));
    ASSERT_TRUE(dialog);
    ASSERT_EQ(dialog->items.size(), std::size(kControls));
    for (size_t i = 0; i < std::size(kControls); ++i) {
        const Expected& want = kControls[i];
        const TemplateItem& item = dialog->items[i];
        SCOPED_TRACE("control " + std::to_string(want.id) + " at " + std::to_string(i));
        EXPECT_EQ(item.id, want.id);
        EXPECT_TRUE(IsClass(item, want)) << "class "
                                         << std::string(item.windowClass.text.begin(), item.windowClass.text.end());
        EXPECT_EQ(item.title.text, want.text);
        EXPECT_EQ(item.style & (want.style | WS_CHILD), want.style | WS_CHILD);
        EXPECT_EQ((item.style & WS_VISIBLE) != 0, want.visible);
        EXPECT_EQ(item.rect, want.rect);
    }
}

TEST_F(PlayerResourcesTest, OwnerDrawnButtonsAreTheNineBitmapButtons) {
    const auto dialog = ParseDialogTemplate(Resource(IDD_PLAYER, RT_DIALOG));
    ASSERT_TRUE(dialog);
    int ownerDrawn = 0;
    for (const TemplateItem& item : dialog->items) {
        if (IsClass(item, {0, u"Button", kButton, u"", 0, {}})) {
            EXPECT_EQ(item.style & BS_TYPEMASK, static_cast<uint32_t>(BS_OWNERDRAW)) << item.id;
            ++ownerDrawn;
        }
    }
    EXPECT_EQ(ownerDrawn, 9);
}

TEST_F(PlayerResourcesTest, SearchTypesAreTitleThenActorInGbk) {
    const auto entries = ParseInitialData(Resource(IDD_PLAYER, MAKEINTRESOURCEW(RT_DIALOG_INIT_DATA)));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    for (const InitialDataEntry& entry : *entries) {
        EXPECT_EQ(entry.controlId, IDC_SEARCH_TYPE);
        EXPECT_EQ(entry.message, DIALOG_INIT_ADD_STRING);
    }
    EXPECT_EQ((*entries)[0].bytes, "\xC6\xAC\xC3\xFB");
    EXPECT_EQ((*entries)[1].bytes, "\xD1\xDD\xD4\xB1");
    EXPECT_EQ(gbk::ToWide((*entries)[0].bytes), L"片名");
    EXPECT_EQ(gbk::ToWide((*entries)[1].bytes), L"演员");
}

TEST_F(PlayerResourcesTest, IconAndCommonControlsManifestArePresent) {
    EXPECT_FALSE(Resource(IDI_PLAYER, RT_GROUP_ICON).empty());
    const auto manifest = Resource(1, RT_MANIFEST);
    ASSERT_FALSE(manifest.empty());
    const std::string text(reinterpret_cast<const char*>(manifest.data()), manifest.size());
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find(">true</gdiScaling>"), std::string::npos);
}

// The bitmaps by id, at the sizes the window's controls are laid out for; the
// play-mode skin is the one whose left part is cut away.
TEST_F(PlayerResourcesTest, BitmapsArePresentByIdAtTheirSizes) {
    struct Size {
        std::initializer_list<int> ids;
        int32_t width, height;
    };
    const Size sizes[] = {
        {{IDB_SKIN_FULL, IDB_SKIN_PLAY}, 760, 396},
        {{IDB_CLOSE, IDB_CLOSE_HOVER, IDB_CLOSE_PRESSED, IDB_MAXIMIZE, IDB_MINIMIZE, IDB_MINIMIZE_HOVER,
          IDB_MINIMIZE_PRESSED},
         23,
         23},
        {{IDB_TOPMOST, IDB_TOPMOST_HOVER, IDB_TOPMOST_PRESSED}, 25, 24},
        {{IDB_SEARCH, IDB_SEARCH_PRESSED}, 22, 18},
        {{IDB_PLAY, IDB_PLAY_HOVER, IDB_PLAY_PRESSED, IDB_PAUSE, IDB_PAUSE_HOVER, IDB_PAUSE_PRESSED, IDB_STOP,
          IDB_STOP_HOVER, IDB_STOP_PRESSED, IDB_FULL_SCREEN, IDB_FULL_SCREEN_HOVER, IDB_FULL_SCREEN_PRESSED},
         32,
         30},
        {{IDB_SLIDER_TRACK}, 156, 16},
        {{IDB_SLIDER_THUMB}, 9, 4},
        {{IDB_MODE_FULL, IDB_MODE_PLAY}, 10, 17},
        {{IDB_VOLUME, IDB_VOLUME_MUTED, IDB_VOLUME_LEVEL}, 62, 20},
    };
    for (const Size& size : sizes) {
        for (int id : size.ids) {
            const auto bitmap = Resource(id, RT_BITMAP);
            ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER)) << "bitmap " << id;
            BITMAPINFOHEADER header;
            memcpy(&header, bitmap.data(), sizeof header);
            EXPECT_EQ(header.biWidth, size.width) << "bitmap " << id;
            EXPECT_EQ(header.biHeight, size.height) << "bitmap " << id;
            EXPECT_EQ(header.biBitCount, 24) << "bitmap " << id;
        }
    }
    // Pixel (0, 200) of each skin, stored bottom-up in BGR order.
    auto leftPixel = [&](int id) {
        const auto bitmap = Resource(id, RT_BITMAP);
        const size_t stride = (760 * 3 + 3) & ~size_t{3};
        const uint8_t* p = bitmap.data() + sizeof(BITMAPINFOHEADER) + stride * (395 - 200);
        return RGB(p[2], p[1], p[0]);
    };
    EXPECT_EQ(leftPixel(IDB_SKIN_PLAY), RGB(255, 255, 0));
    EXPECT_NE(leftPixel(IDB_SKIN_FULL), RGB(255, 255, 0));
}

}  // namespace
}  // namespace kavuno::player
