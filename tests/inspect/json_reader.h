// json_reader.h - the inspector's lines read back in tests: parsed strictly by nlohmann-json,
// given as plain records so that the tests read like the lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct Json {
    enum Type { NUL, BOOL, NUMBER, STRING, ARRAY, OBJECT };
    Type type = NUL;
    bool boolean = false;
    double number = 0;
    std::string text;                                   // STRING: decoded to UTF-8
    std::vector<Json> items;                            // ARRAY
    std::vector<std::pair<std::string, Json>> members;  // OBJECT, in the text's order

    bool IsNull() const { return type == NUL; }
    bool Has(const std::string& key) const;
    // The member `key` or the item `index`; a null value when there is none.
    const Json& operator[](const std::string& key) const;
    const Json& operator[](size_t index) const;
    std::vector<std::string> Keys() const;
};

// The one value `text` holds, with nothing but white space around it; nothing when the text
// is not JSON (trailing commas, bare control characters in strings, NaN, bad escapes...).
std::optional<Json> ParseJson(std::string_view text);
