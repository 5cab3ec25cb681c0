// json_reader.cpp - the inspector's lines parsed by nlohmann-json, as plain records for the tests.
#include "json_reader.h"

#include <nlohmann/json.hpp>

namespace {

const Json NULL_VALUE;

Json FromParsed(const nlohmann::ordered_json& parsed) {
    Json value;
    switch (parsed.type()) {
    case nlohmann::ordered_json::value_t::object:
        value.type = Json::OBJECT;
        for (const auto& member : parsed.items()) value.members.emplace_back(member.key(), FromParsed(member.value()));
        break;
    case nlohmann::ordered_json::value_t::array:
        value.type = Json::ARRAY;
        for (const auto& item : parsed) value.items.push_back(FromParsed(item));
        break;
    case nlohmann::ordered_json::value_t::string:
        value.type = Json::STRING;
        value.text = parsed.get<std::string>();
        break;
    case nlohmann::ordered_json::value_t::boolean:
        value.type = Json::BOOL;
        value.boolean = parsed.get<bool>();
        break;
    case nlohmann::ordered_json::value_t::number_integer:
    case nlohmann::ordered_json::value_t::number_unsigned:
    case nlohmann::ordered_json::value_t::number_float:
        value.type = Json::NUMBER;
        value.number = parsed.get<double>();
        break;
    default: break;  // null
    }
    return value;
}

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

std::optional<Json> ParseJson(std::string_view text) {
    // Strict: no exceptions, no comments, and nothing but white space after the value.
    const nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(text, nullptr, false);
    if (parsed.is_discarded()) return std::nullopt;
    return FromParsed(parsed);
}
