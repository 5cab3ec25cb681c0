// json_writer.h - a small JSON writer: one document built in order into a string.
//
//     JsonWriter json;
//     json.BeginObject();
//     json.Key("width"); json.Integer(2);
//     json.Key("name"); json.String("grass");
//     json.EndObject();          // json.Text() == R"({"width":2,"name":"grass"})"
//
// Commas are placed by the writer. A writer made with MEMBERS starts inside an object that
// has no braces: its text is a run of "key":value members that Members() splices into
// another writer's open object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
public:
    enum Start { DOCUMENT, MEMBERS };
    explicit JsonWriter(Start start = DOCUMENT);

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(std::string_view name);
    // Escapes quotes, backslashes and control characters. Valid UTF-8 passes through; a
    // byte that is not part of a valid sequence is written as the Latin-1 character of its
    // value (\u00XX), so the text stays valid JSON whatever bytes a file held.
    void String(std::string_view text);
    void Integer(int64_t value);
    // 9 significant digits, enough to give back any 32-bit float; null when not finite.
    void Float(double value);
    void Bool(bool value);
    void Null();
    // Appends the members written by a MEMBERS writer to this writer's open object.
    void Members(const JsonWriter& fragment);

    const std::string& Text() const { return text_; }

private:
    void BeforeValue();

    std::string text_;
    std::vector<bool> empty_;  // one per open object or array: nothing written in it yet
    bool afterKey_ = false;
};

// The escaped form of `text` with its quotes, as String() writes it.
std::string JsonQuoted(std::string_view text);
