// json_writer.cpp - the inspector's JSON lines: escapes and numbers as the line promises them.
#include "tools/inspect/json_writer.h"

#include <cmath>
#include <cstdio>

namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0 when the byte there does
// not start one (stray continuation bytes, overlong forms, surrogates, beyond U+10FFFF).
size_t Utf8SequenceLength(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return uint8_t(text[k]); };
    const uint8_t lead = byte(i);
    size_t length;
    uint32_t lowest;  // the smallest code point that needs this many bytes
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, lowest = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    uint32_t code = lead & (0x3F >> (length - 1));
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

void AppendEscapedByte(std::string& out, uint8_t byte) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", byte);
    out += escape;
}

}  // namespace

std::string JsonQuoted(std::string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const uint8_t byte = uint8_t(text[i]);
        if (byte >= 0x80) {
            const size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                AppendEscapedByte(out, byte);
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (byte) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20)
                AppendEscapedByte(out, byte);
            else
                out += char(byte);
        }
        ++i;
    }
    out += '"';
    return out;
}

namespace {

void AppendFloat(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char number[32];
    std::snprintf(number, sizeof number, "%.9g", value);
    out += number;
}

void Append(std::string& out, const JsonValue& value) {
    switch (value.type()) {
    case JsonValue::value_t::object: {
        out += '{';
        const char* separator = "";
        for (const auto& member : value.items()) {
            out += separator;
            out += JsonQuoted(member.key());
            out += ':';
            Append(out, member.value());
            separator = ",";
        }
        out += '}';
        break;
    }
    case JsonValue::value_t::array: {
        out += '[';
        const char* separator = "";
        for (const JsonValue& item : value) {
            out += separator;
            Append(out, item);
            separator = ",";
        }
        out += ']';
        break;
    }
    case JsonValue::value_t::string: out += JsonQuoted(value.get_ref<const std::string&>()); break;
    case JsonValue::value_t::number_float: AppendFloat(out, value.get<double>()); break;
    case JsonValue::value_t::discarded: out += "null"; break;
    default: out += value.dump();  // null, booleans and integers as the library writes them
    }
}

}  // namespace

std::string JsonLine(const JsonValue& value) {
    std::string out;
    Append(out, value);
    return out;
}
