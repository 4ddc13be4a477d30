// Reading dialog templates and their initial data, and the reference-unit
// pixel rectangles the main window is laid out at.
#include "player/dialog_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kavuno::player {
namespace {

// Builds template bytes the way the resource compiler lays them out.
class TemplateBytes {
public:
    TemplateBytes& Word(uint16_t v) {
        bytes_.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    TemplateBytes& Dword(uint32_t v) {
        return Word(static_cast<uint16_t>(v & 0xFFFF)).Word(static_cast<uint16_t>(v >> 16));
    }
    TemplateBytes& Text(const std::u16string& text) {
        for (char16_t c : text) Word(static_cast<uint16_t>(c));
        return Word(0);
    }
    TemplateBytes& Ordinal(uint16_t v) { return Word(0xFFFF).Word(v); }
    TemplateBytes& Rect(int x, int y, int cx, int cy) {
        return Word(static_cast<uint16_t>(x))
            .Word(static_cast<uint16_t>(y))
            .Word(static_cast<uint16_t>(cx))
            .Word(static_cast<uint16_t>(cy));
    }
    TemplateBytes& Byte(uint8_t b) {
        bytes_.push_back(b);
        return *this;
    }
    TemplateBytes& Align() {
        while (bytes_.size() % 4) bytes_.push_back(0);
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

constexpr uint32_t kSetFont = 0x40;

// A DIALOGEX like the main window's: a font, a tree with a class name, a label
// with an ordinal class and id -1, and a control carrying creation data.
TemplateBytes ExtendedTemplate() {
    TemplateBytes t;
    t.Word(1).Word(0xFFFF).Dword(0).Dword(0x00040000).Dword(0x80000000 | kSetFont).Word(3).Rect(0, 0, 506, 264);
    t.Word(0).Word(0).Text(u"");                           // no menu, default class, no title
    t.Word(9).Word(400).Byte(0).Byte(0x86).Text(u"宋体");  // 9 point, weight, italic, character set
    t.Align()
        .Dword(0)
        .Dword(0)
        .Dword(0x50010026)
        .Rect(2, 44, 78, 217)
        .Dword(1004)
        .Text(u"SysTreeView32")
        .Text(u"Tree1")
        .Word(0);
    t.Align()
        .Dword(0)
        .Dword(0)
        .Dword(0x50020000)
        .Rect(118, 25, 40, 8)
        .Dword(0xFFFFFFFF)
        .Ordinal(0x0082)
        .Text(u"搜索类型：")
        .Word(0);
    t.Align()
        .Dword(0)
        .Dword(0)
        .Dword(0x5001000B)
        .Rect(252, 129, 6, 11)
        .Dword(1019)
        .Ordinal(0x0080)
        .Text(u"Button1")
        .Word(3);
    t.Byte(1).Byte(2).Byte(3);
    return t;
}

TEST(DialogTemplateTest, ReadsAnExtendedTemplateWithFontAndEveryKindOfField) {
    const auto dialog = ParseDialogTemplate(ExtendedTemplate().bytes());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->rect, (UnitRect{0, 0, 506, 264}));
    EXPECT_EQ(dialog->exStyle, 0x00040000u);
    EXPECT_EQ(dialog->pointSize, 9);
    EXPECT_EQ(dialog->typeface, u"宋体");
    ASSERT_EQ(dialog->items.size(), 3u);

    EXPECT_EQ(dialog->items[0].id, 1004);
    EXPECT_EQ(dialog->items[0].windowClass.text, u"SysTreeView32");
    EXPECT_EQ(dialog->items[0].title.text, u"Tree1");
    EXPECT_EQ(dialog->items[0].style, 0x50010026u);
    EXPECT_EQ(dialog->items[0].rect, (UnitRect{2, 44, 78, 217}));

    EXPECT_EQ(dialog->items[1].id, -1);
    EXPECT_EQ(dialog->items[1].windowClass.ordinal, 0x0082);  // static
    EXPECT_EQ(dialog->items[1].title.text, u"搜索类型：");

    EXPECT_EQ(dialog->items[2].id, 1019);
    EXPECT_EQ(dialog->items[2].rect, (UnitRect{252, 129, 6, 11}));
}

TEST(DialogTemplateTest, ReadsAPlainTemplateWithoutFont) {
    TemplateBytes t;
    t.Dword(0x80000000).Dword(0).Word(2).Rect(10, 20, 100, 50).Word(0).Word(0).Text(u"Title");
    t.Align().Dword(0x50000000).Dword(0).Rect(1, 2, 3, 4).Word(7).Ordinal(0x0081).Text(u"").Word(0);
    t.Align().Dword(0x50000000).Dword(0).Rect(-5, 6, 7, 8).Word(0xFFFF).Text(u"Edit").Word(0).Word(0);
    const auto dialog = ParseDialogTemplate(t.bytes());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->title, u"Title");
    EXPECT_EQ(dialog->pointSize, 0);
    ASSERT_EQ(dialog->items.size(), 2u);
    EXPECT_EQ(dialog->items[0].id, 7);
    EXPECT_EQ(dialog->items[1].id, -1);
    EXPECT_EQ(dialog->items[1].rect, (UnitRect{-5, 6, 7, 8}));
    EXPECT_EQ(dialog->items[1].windowClass.text, u"Edit");
}

TEST(DialogTemplateTest, PlainTemplatesTheirStyleAndCreationDataOfAnOddLength) {
    // A plain style whose low word is 1 is no DIALOGEX signature.
    TemplateBytes t;
    t.Dword(0x80C00001).Dword(0).Word(2).Rect(0, 0, 50, 40).Word(0).Word(0).Text(u"T");
    t.Align().Dword(0x50000000).Dword(0).Rect(1, 2, 3, 4).Word(7).Ordinal(0x0080).Text(u"").Word(1).Byte(9);
    t.Align().Dword(0x50000000).Dword(0).Rect(5, 6, 7, 8).Word(8).Ordinal(0x0081).Text(u"").Word(0);
    const auto dialog = ParseDialogTemplate(t.bytes());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->style, 0x80C00001u);
    ASSERT_EQ(dialog->items.size(), 2u);
    EXPECT_EQ(dialog->items[1].id, 8) << "the item after one byte of creation data starts on the next 32 bits";
    EXPECT_EQ(dialog->items[1].rect, (UnitRect{5, 6, 7, 8}));
    // A template without items ends with its title: no shorter prefix is one.
    TemplateBytes bare;
    bare.Dword(0x80000000).Dword(0).Word(0).Rect(0, 0, 10, 10).Word(0).Word(0).Text(u"Title");
    ASSERT_TRUE(ParseDialogTemplate(bare.bytes()));
    for (size_t n = 0; n < bare.bytes().size(); ++n) {
        EXPECT_FALSE(ParseDialogTemplate({bare.bytes().data(), n})) << "prefix of " << n << " bytes";
    }
}

TEST(DialogTemplateTest, RefusesEveryTruncationOfATemplate) {
    const std::vector<uint8_t> whole = ExtendedTemplate().bytes();
    // The last item's creation data ends the template: any shorter prefix is incomplete.
    for (size_t n = 0; n < whole.size(); ++n) {
        EXPECT_FALSE(ParseDialogTemplate({whole.data(), n})) << "prefix of " << n << " bytes";
    }
}

// The pixel rectangles the window's controls must stand at.
TEST(DialogTemplateTest, ReferencePixelsRoundEachFieldLikeTheDialogManager) {
    struct Case {
        UnitRect units, pixels;
    };
    const Case cases[] = {
        {{0, 0, 506, 264}, {0, 0, 759, 396}},        // the window
        {{435, 1, 15, 15}, {653, 2, 23, 23}},        // keep on top: halves round up
        {{16, 25, 24, 10}, {24, 38, 36, 15}},        // "条件："
        {{159, 23, 50, 111}, {239, 35, 75, 167}},    // the combo box with its list
        {{465, 26, 21, 8}, {698, 39, 32, 12}},       // "帮 助": width alone, not right - left
        {{82, 43, 168, 218}, {123, 65, 252, 327}},   // the list
        {{252, 129, 6, 11}, {378, 194, 9, 17}},      // the mode button
        {{261, 45, 240, 170}, {392, 68, 360, 255}},  // the video area
        {{323, 237, 104, 10}, {485, 356, 156, 15}},  // the slider
        {{-3, -1, 0, 0}, {-5, -2, 0, 0}},            // negative halves round away from zero
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToReferencePixels(c.units), c.pixels) << c.units.x << "," << c.units.y;
    }
    // The ad pop-up's 10-point font: 7 x 13 pixels a character.
    EXPECT_EQ(ToReferencePixels({0, 0, 431, 72}, 10), (UnitRect{0, 0, 754, 117}));
    EXPECT_EQ(ToReferencePixels({4, 8, 0, 0}, 9), (UnitRect{6, 12, 0, 0}));
}

// Initial data: control id, message, 32-bit length, bytes; entries unaligned; a zero id ends it.
std::vector<uint8_t> InitialData(const std::vector<std::string>& texts, bool terminated = true) {
    TemplateBytes t;
    for (const std::string& text : texts) {
        t.Word(1009).Word(0x0403).Dword(static_cast<uint32_t>(text.size() + 1));
        for (char c : text) t.Byte(static_cast<uint8_t>(c));
        t.Byte(0);
    }
    if (terminated) t.Word(0);
    return t.bytes();
}

TEST(DialogTemplateTest, ReadsTheSearchTypesFromInitialData) {
    const std::string title = "\xC6\xAC\xC3\xFB";  // 片名
    const std::string actor = "\xD1\xDD\xD4\xB1";  // 演员
    const auto entries = ParseInitialData(InitialData({title, actor}));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[0].controlId, 1009);
    EXPECT_EQ((*entries)[0].message, 0x0403);
    EXPECT_EQ((*entries)[0].bytes, title);
    EXPECT_EQ((*entries)[1].bytes, actor);
}

TEST(DialogTemplateTest, InitialDataWithOddLengthsAndNoTerminatorHandledExactly) {
    const auto odd = ParseInitialData(InitialData({"abc", "de"}));
    ASSERT_TRUE(odd);
    ASSERT_EQ(odd->size(), 2u);
    EXPECT_EQ((*odd)[0].bytes, "abc");
    EXPECT_EQ((*odd)[1].bytes, "de");

    EXPECT_FALSE(ParseInitialData(InitialData({"abc"}, false)));  // no closing zero id
    TemplateBytes beyond;                                         // a length that runs past the end
    beyond.Word(1009).Word(0x0403).Dword(100).Byte('a').Byte(0).Word(0);
    EXPECT_FALSE(ParseInitialData(beyond.bytes()));
    std::vector<uint8_t> longer = InitialData({"abc"});
    longer[4] = 200;  // a length past the end of the data
    EXPECT_FALSE(ParseInitialData(longer));
    EXPECT_TRUE(ParseInitialData(InitialData({})));
    EXPECT_TRUE(ParseInitialData(InitialData({}))->empty());
}

}  // namespace
}  // namespace kavuno::player
