// json_writer.h - the inspector's JSON: each line is built as an nlohmann::ordered_json value
// (members keep the order they were added in) and printed by JsonLine().
//
//     JsonValue line;
//     line["width"] = 2;
//     line["name"] = "grass";
//     JsonLine(line) == R"({"width":2,"name":"grass"})"
//
// The line is printed here, not by the library's dump(), for two promises its printing does
// not keep: floats carry 9 significant digits as "%.9g" writes them (1 rather than 1.0, -0
// kept, null when not finite), and a string byte that is not part of valid UTF-8 becomes the
// Latin-1 character of its value (\u00XX) instead of an error, so the text stays valid JSON
// whatever bytes a file held. Valid UTF-8 passes through unescaped.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

using JsonValue = nlohmann::ordered_json;

// The value as compact JSON on one line (no newline).
std::string JsonLine(const JsonValue& value);

// The escaped form of `text` with its quotes, as JsonLine writes strings and keys.
std::string JsonQuoted(std::string_view text);
