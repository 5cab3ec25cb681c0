// The inspector's JSON lines: escapes and numbers, read back by the library's own parser.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "json_reader.h"
#include "tools/inspect/json_writer.h"

namespace {

std::string Written(std::string_view text) { return JsonLine(JsonValue(std::string(text))); }
std::string WrittenFloat(double value) { return JsonLine(JsonValue(value)); }

TEST(JsonLine, EscapesWhatJsonForbidsAndKeepsValidUtf8) {
    struct Case {
        std::string input;
        std::string written;
        std::string readBack;  // UTF-8, as a JSON parser gives it back
    } cases[] = {
        {"plain", R"("plain")", "plain"},
        {"say \"hi\"", R"("say \"hi\"")", "say \"hi\""},
        {"C:\\DATA", R"("C:\\DATA")", "C:\\DATA"},
        {"Failed to open DIB file a.bmp.\n", R"("Failed to open DIB file a.bmp.\n")",
         "Failed to open DIB file a.bmp.\n"},
        {"tab\there\r\b\f", R"("tab\there\r\b\f")", "tab\there\r\b\f"},
        {std::string("nul\0x", 5) + "\x01\x1f", R"("nul\u0000x\u0001\u001f")", std::string("nul\0x", 5) + "\x01\x1f"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x90\x9F", "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x90\x9F\"",
         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x90\x9F"},
        // Bytes that are not UTF-8 (a name written by an old Windows program in Latin-1)
        // become the Latin-1 characters of their values.
        {"caf\xE9", R"("caf\u00e9")", "caf\xC3\xA9"},
        {"\x80\xFF", R"("\u0080\u00ff")", "\xC2\x80\xC3\xBF"},
        // A lead byte whose sequence is cut short, an overlong form and a surrogate.
        {"\xE2\x82", R"("\u00e2\u0082")", "\xC3\xA2\xC2\x82"},
        {"\xC0\xAF", R"("\u00c0\u00af")", "\xC3\x80\xC2\xAF"},
        {"\xE0\x80\xAF", R"("\u00e0\u0080\u00af")", "\xC3\xA0\xC2\x80\xC2\xAF"},
        {"\xF4\x90\x80\x80", R"("\u00f4\u0090\u0080\u0080")", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},
        {"\xED\xA0\x80", R"("\u00ed\u00a0\u0080")", "\xC3\xAD\xC2\xA0\xC2\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        EXPECT_EQ(Written(c.input), c.written);
        std::optional<Json> parsed = ParseJson(Written(c.input));
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->text, c.readBack);
    }
}

TEST(JsonLine, FloatsCarryNineSignificantDigitsAndGiveBackTheSameFloat) {
    const struct {
        double value;
        const char* written;
    } cases[] = {
        {0.1f, "0.100000001"},       {1.0f, "1"},  {-2.5f, "-2.5"},
        {16777217.0, "16777217"},    {-0.0, "-0"}, {1e-5f, "9.99999975e-06"},
        {1.5e10f, "1.50000005e+10"},
    };
    for (const auto& c : cases) EXPECT_EQ(WrittenFloat(c.value), c.written);
    for (float value : {0.1f, 1.0f / 3, -123456.789f, 3.40282347e38f, 1.17549435e-38f, 1e-45f}) {
        std::optional<Json> parsed = ParseJson(WrittenFloat(value));
        ASSERT_TRUE(parsed) << WrittenFloat(value);
        EXPECT_EQ(float(parsed->number), value) << WrittenFloat(value);
    }
}

TEST(JsonLine, FloatsThatAreNotFiniteAreNull) {
    EXPECT_EQ(WrittenFloat(std::numeric_limits<double>::quiet_NaN()), "null");
    EXPECT_EQ(WrittenFloat(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(WrittenFloat(-std::numeric_limits<double>::infinity()), "null");
}

TEST(JsonLine, MembersKeepTheirOrderWithoutSpaces) {
    JsonValue line = {{"file", "a.tga"}, {"kind", nullptr}, {"ok", false}, {"messages", JsonValue::array()}};
    line["width"] = 2;
    line["list"] = {1, -2, 3.5f};
    line["nested"] = {{"z", true}, {"a", JsonValue::object()}};
    EXPECT_EQ(JsonLine(line), R"({"file":"a.tga","kind":null,"ok":false,"messages":[],"width":2,)"
                              R"("list":[1,-2,3.5],"nested":{"z":true,"a":{}}})");
}

// The tests' reader must itself refuse what is not JSON.
TEST(JsonReader, RefusesTextThatIsNotJson) {
    for (const char* text : {"", "{", "[1,]", "{\"a\":1,}", "\"a\nb\"", "nan", "01", "1.", "\"\\x\"", "\"\\ud800\"",
                             "{} {}", "{'a':1}", "[1 2]", "[1] // note"})
        EXPECT_FALSE(ParseJson(text)) << text;
    ASSERT_TRUE(ParseJson(R"( {"a":[1,-2.5e3,true,null],"b":"\ud83d\udc1f"} )"));
    EXPECT_EQ((*ParseJson(R"({"b":"\ud83d\udc1f"})"))["b"].text, "\xF0\x9F\x90\x9F");
}

}  // namespace
