// json_reader.cpp - recursive descent over the JSON grammar, strict where the writer must be.
#include "json_reader.h"

#include <cstdlib>

namespace {

const Json NULL_VALUE;

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::optional<Json> Document() {
        Json value;
        if (!Value(value)) return std::nullopt;
        SkipSpace();
        if (pos_ != text_.size()) return std::nullopt;
        return value;
    }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    void SkipSpace() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++pos_;
    }
    bool Literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    bool Value(Json& out) {
        SkipSpace();
        switch (Peek()) {
        case '{': return Object(out);
        case '[': return Array(out);
        case '"': out.type = Json::STRING; return String(out.text);
        case 't': out.type = Json::BOOL, out.boolean = true; return Literal("true");
        case 'f': out.type = Json::BOOL, out.boolean = false; return Literal("false");
        case 'n': out.type = Json::NUL; return Literal("null");
        default: return Number(out);
        }
    }

    bool Object(Json& out) {
        out.type = Json::OBJECT;
        ++pos_;
        SkipSpace();
        if (Peek() == '}') return ++pos_, true;
        for (;;) {
            SkipSpace();
            std::string key;
            if (Peek() != '"' || !String(key)) return false;
            SkipSpace();
            if (Peek() != ':') return false;
            ++pos_;
            Json value;
            if (!Value(value)) return false;
            out.members.emplace_back(std::move(key), std::move(value));
            SkipSpace();
            if (Peek() == '}') return ++pos_, true;
            if (Peek() != ',') return false;
            ++pos_;
        }
    }

    bool Array(Json& out) {
        out.type = Json::ARRAY;
        ++pos_;
        SkipSpace();
        if (Peek() == ']') return ++pos_, true;
        for (;;) {
            Json value;
            if (!Value(value)) return false;
            out.items.push_back(std::move(value));
            SkipSpace();
            if (Peek() == ']') return ++pos_, true;
            if (Peek() != ',') return false;
            ++pos_;
        }
    }

    bool Digits() {
        const size_t start = pos_;
        while (Peek() >= '0' && Peek() <= '9') ++pos_;
        return pos_ > start;
    }

    bool Number(Json& out) {
        const size_t start = pos_;
        if (Peek() == '-') ++pos_;
        if (Peek() == '0') ++pos_;
        else if (!Digits()) return false;
        if (Peek() == '.') {
            ++pos_;
            if (!Digits()) return false;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++pos_;
            if (Peek() == '+' || Peek() == '-') ++pos_;
            if (!Digits()) return false;
        }
        out.type = Json::NUMBER;
        out.number = std::strtod(std::string(text_.substr(start, pos_ - start)).c_str(), nullptr);
        return true;
    }

    bool Hex4(unsigned& value) {
        if (pos_ + 4 > text_.size()) return false;
        value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[pos_++];
            value <<= 4;
            if (c >= '0' && c <= '9') value |= unsigned(c - '0');
            else if (c >= 'a' && c <= 'f') value |= unsigned(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') value |= unsigned(c - 'A' + 10);
            else return false;
        }
        return true;
    }

    static void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xC0 | (code >> 6));
            out += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += char(0xE0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        } else {
            out += char(0xF0 | (code >> 18));
            out += char(0x80 | ((code >> 12) & 0x3F));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        }
    }

    bool Escape(std::string& out) {
        const char c = text_[pos_++];
        switch (c) {
        case '"': out += '"'; return true;
        case '\\': out += '\\'; return true;
        case '/': out += '/'; return true;
        case 'b': out += '\b'; return true;
        case 'f': out += '\f'; return true;
        case 'n': out += '\n'; return true;
        case 'r': out += '\r'; return true;
        case 't': out += '\t'; return true;
        case 'u': break;
        default: return false;
        }
        unsigned code;
        if (!Hex4(code)) return false;
        if (code >= 0xDC00 && code <= 0xDFFF) return false;  // a lone low surrogate
        if (code >= 0xD800 && code <= 0xDBFF) {
            unsigned low;
            if (!Literal("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(out, code);
        return true;
    }

    bool String(std::string& out) {
        ++pos_;  // the opening quote
        while (!AtEnd()) {
            const unsigned char c = static_cast<unsigned char>(text_[pos_++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c == '\\') {
                if (AtEnd() || !Escape(out)) return false;
            } else {
                out += char(c);
            }
        }
        return false;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

bool Json::Has(const std::string& key) const {
    for (const auto& member : members)
        if (member.first == key) return true;
    return false;
}

const Json& Json::operator[](const std::string& key) const {
    for (const auto& member : members)
        if (member.first == key) return member.second;
    return NULL_VALUE;
}

const Json& Json::operator[](size_t index) const { return index < items.size() ? items[index] : NULL_VALUE; }

std::vector<std::string> Json::Keys() const {
    std::vector<std::string> keys;
    for (const auto& member : members) keys.push_back(member.first);
    return keys;
}

std::optional<Json> ParseJson(std::string_view text) { return Parser(text).Document(); }
