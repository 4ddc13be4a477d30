// The tool's JSON Lines reader and writer: what records.jsonl files may hold,
// and the refusals that point at the offending column.
#include <gtest/gtest.h>

#include "tools/catalog/json_line.h"

namespace {

using kavuno::tool::JsonError;
using kavuno::tool::JsonLineWriter;
using kavuno::tool::JsonObject;
using kavuno::tool::JsonValue;
using kavuno::tool::ParseJsonObjectLine;

JsonObject Parse(std::string_view line) {
    JsonError error;
    auto object = ParseJsonObjectLine(line, error);
    EXPECT_TRUE(object.has_value()) << line << ": " << error.message;
    return object.value_or(JsonObject{});
}

JsonError Refusal(std::string_view line) {
    JsonError error;
    EXPECT_FALSE(ParseJsonObjectLine(line, error).has_value()) << line;
    EXPECT_FALSE(error.message.empty());
    return error;
}

TEST(JsonLine, ReadsFlatObjectsInKeyOrder) {
    JsonObject o = Parse(R"( {"title" : "铜铃", "playable":1 ,"player":-7,"x":true,"y":false,"z":null} )");
    ASSERT_EQ(o.size(), 6u);
    EXPECT_EQ(o[0].first, "title");
    EXPECT_EQ(o[0].second.type, JsonValue::Type::kString);
    EXPECT_EQ(o[0].second.text, "铜铃");
    EXPECT_EQ(o[1].second.type, JsonValue::Type::kInteger);
    EXPECT_EQ(o[1].second.integer, 1);
    EXPECT_EQ(o[2].second.integer, -7);
    EXPECT_EQ(o[3].second.type, JsonValue::Type::kTrue);
    EXPECT_EQ(o[4].second.type, JsonValue::Type::kFalse);
    EXPECT_EQ(o[5].second.type, JsonValue::Type::kNull);
    EXPECT_TRUE(Parse("{}").empty());
    EXPECT_EQ(Parse("{\"a\":\"\"}\r")[0].second.text, "");  // a CRLF file
}

TEST(JsonLine, DecodesEscapesAndSurrogatePairs) {
    JsonObject o = Parse(R"({"a":"q\"b\\s\/\b\f\n\r\t","u":"\u67ef\u6ee1","p":"\ud83d\ude00","n":"\u0000"})");
    EXPECT_EQ(o[0].second.text, "q\"b\\s/\b\f\n\r\t");
    EXPECT_EQ(o[1].second.text, "柯满");
    EXPECT_EQ(o[2].second.text, "\xF0\x9F\x98\x80");
    EXPECT_EQ(o[3].second.text, std::string(1, '\0'));
}

TEST(JsonLine, KeepsTheWholeInt64Range) {
    EXPECT_EQ(Parse(R"({"a":9223372036854775807})")[0].second.integer, INT64_MAX);
    EXPECT_EQ(Parse(R"({"a":-9223372036854775808})")[0].second.integer, INT64_MIN);
    EXPECT_EQ(Parse(R"({"a":-0})")[0].second.integer, 0);
    EXPECT_EQ(Refusal(R"({"a":9223372036854775808})").message, "number out of range");
    EXPECT_EQ(Refusal(R"({"a":-9223372036854775809})").message, "number out of range");
    EXPECT_EQ(Refusal(R"({"a":123456789012345678901234567890})").column, 6u);
}

TEST(JsonLine, RefusesWhatIsNotAFlatObject) {
    EXPECT_EQ(Refusal("").message, "expected '{' at the start of the object, found the end of the line");
    EXPECT_EQ(Refusal("[1]").column, 1u);
    EXPECT_EQ(Refusal(R"({"a":1,})").message, "expected a key in double quotes");
    EXPECT_EQ(Refusal(R"({"a" 1})").message, "expected ':' after a key");
    EXPECT_EQ(Refusal(R"({"a":1 "b":2})").message, "expected ',' or '}'");
    EXPECT_EQ(Refusal(R"({"a":1})"
                      " x")
                  .message,
              "unexpected text after the object");
    EXPECT_EQ(Refusal(R"({"a":{"b":1}})").message, "nested objects and arrays are not supported");
    EXPECT_EQ(Refusal(R"({"a":[1]})").message, "nested objects and arrays are not supported");
    EXPECT_EQ(Refusal(R"({"a":1.5})").message, "only whole numbers are supported");
    EXPECT_EQ(Refusal(R"({"a":1e3})").message, "only whole numbers are supported");
    EXPECT_EQ(Refusal(R"({"a":007})").message, "a number must not begin with 0");
    EXPECT_EQ(Refusal(R"({"a":-})").message, "expected a digit");
    EXPECT_EQ(Refusal(R"({"a":tru})").message, "expected a value");
    EXPECT_EQ(Refusal(R"({'a':1})").message, "expected a key in double quotes");
    JsonError twice = Refusal(R"({"kind":"a","kind":"b"})");
    EXPECT_EQ(twice.message, "key \"kind\" is given twice");
    EXPECT_EQ(twice.column, 13u);
}

TEST(JsonLine, RefusesBrokenStrings) {
    EXPECT_EQ(Refusal(R"({"a":"abc)").message, "unterminated string");
    EXPECT_EQ(Refusal("{\"a\":\"x\ty\"}").message, "control character in a string (escape it)");
    EXPECT_EQ(Refusal(R"({"a":"\x"})").message, "unknown escape");
    EXPECT_EQ(Refusal(R"({"a":"\u12"})").message, "\\u needs four hex digits");
    EXPECT_EQ(Refusal(R"({"a":"\u12G4"})").message, "\\u needs four hex digits");
    EXPECT_EQ(Refusal(R"({"a":"\ud83d"})").message, "high surrogate in \\u escape without its low half");
    EXPECT_EQ(Refusal(R"({"a":"\ud83d\u0041"})").message, "high surrogate in \\u escape without its low half");
    EXPECT_EQ(Refusal(R"({"a":"\ude00"})").message, "lone low surrogate in \\u escape");
    JsonError utf8 = Refusal("{\"a\":\"ok\xC3(\"}");
    EXPECT_EQ(utf8.message, "invalid UTF-8");
    EXPECT_EQ(utf8.column, 9u);
    EXPECT_EQ(Refusal("{\"a\":\"\xED\xA0\x80\"}").message, "invalid UTF-8");  // encoded surrogate
    EXPECT_EQ(Refusal("{\"a\":\"\xC0\xAF\"}").message, "invalid UTF-8");      // overlong '/'
}

TEST(JsonLine, WriterEscapesWhatJsonRequiresAndReadsBack) {
    JsonLineWriter writer;
    std::string awkward = std::string("tab\there \"q\" back\\ nul") + '\0' + "\x1F 片名";
    writer.AddInteger("index", -3);
    writer.AddString("title", awkward);
    std::string line = writer.Finish();
    EXPECT_EQ(line, "{\"index\":-3,\"title\":\"tab\\there \\\"q\\\" back\\\\ nul\\u0000\\u001f 片名\"}");
    JsonObject back = Parse(line);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].second.integer, -3);
    EXPECT_EQ(back[1].second.text, awkward);
    EXPECT_EQ(JsonLineWriter().Finish(), "{}");
}

}  // namespace
