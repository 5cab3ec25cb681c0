// The --frames argument: frame numbers and inclusive ranges, comma separated.
#include <cctype>
#include <climits>
#include <cstdio>

#include "tools/capture/capture.h"

namespace {

// Reads a non-negative decimal number at text[*at], moving *at past it.
bool ReadNumber(const std::string& text, std::size_t* at, int* value) {
    std::size_t start = *at;
    long long number = 0;
    while (*at < text.size() && std::isdigit(static_cast<unsigned char>(text[*at]))) {
        number = number * 10 + (text[*at] - '0');
        if (number > INT_MAX) return false;
        ++*at;
    }
    *value = int(number);
    return *at > start;
}

}  // namespace

bool ParseFrameList(const std::string& text, std::set<int>* frames, std::string* error) {
    std::set<int> parsed;
    std::size_t at = 0;
    while (true) {
        int first = 0, last = 0;
        if (!ReadNumber(text, &at, &first)) {
            *error = "expected a frame number at position " + std::to_string(at + 1) + " of \"" + text + "\"";
            return false;
        }
        last = first;
        if (at < text.size() && text[at] == '-') {
            ++at;
            if (!ReadNumber(text, &at, &last) || last < first) {
                *error = "bad range ending at position " + std::to_string(at + 1) + " of \"" + text + "\"";
                return false;
            }
        }
        for (long long frame = first; frame <= last; ++frame) parsed.insert(int(frame));
        if (at == text.size()) break;
        if (text[at] != ',') {
            *error = "unexpected '" + std::string(1, text[at]) + "' in \"" + text + "\"";
            return false;
        }
        ++at;
    }
    *frames = std::move(parsed);
    return true;
}

std::string FrameFileName(const std::string& directory, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.png", frame);
    return directory + "/" + name;
}
