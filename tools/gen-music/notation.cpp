// notation.cpp - the short text notation the score is written in: note names with octave and
// length, and chord symbols.
#include "tools/gen-music/music.h"

#include <cctype>

namespace music {

namespace {

// Pitch class of a letter name, C = 0; -1 for anything else.
int LetterPitchClass(char letter) {
    switch (letter) {
    case 'c':
    case 'C': return 0;
    case 'd':
    case 'D': return 2;
    case 'e':
    case 'E': return 4;
    case 'f':
    case 'F': return 5;
    case 'g':
    case 'G': return 7;
    case 'a':
    case 'A': return 9;
    case 'b':
    case 'B': return 11;
    default: return -1;
    }
}

constexpr int NO_PITCH = -100;
constexpr int SIXTEENTHS_PER_BAR = 4 * BEATS_PER_BAR;

// Reads a letter and an optional sharp or flat from the front of `text`: semitones above the
// C of the letter's octave, so B sharp is 12 and C flat -1; NO_PITCH if there is no letter.
int ReadPitch(std::string_view& text) {
    if (text.empty()) return NO_PITCH;
    int pc = LetterPitchClass(text[0]);
    if (pc < 0) return NO_PITCH;
    text.remove_prefix(1);
    if (!text.empty() && (text[0] == '#' || text[0] == 'b')) {
        pc += text[0] == '#' ? 1 : -1;
        text.remove_prefix(1);
    }
    return pc;
}

bool ReadNumber(std::string_view& text, int& value) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    value = 0;
    while (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0])) && value < 1000) {
        value = value * 10 + (text[0] - '0');
        text.remove_prefix(1);
    }
    return true;
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

bool ParseMelodyWord(std::string_view word, MelodyNote& note) {
    int key = -1;
    if (word[0] == 'r') {
        word.remove_prefix(1);
    } else {
        int pitch = ReadPitch(word);
        int octave = 0;
        if (pitch == NO_PITCH || !ReadNumber(word, octave)) return false;
        key = 12 * (octave + 1) + pitch;
        if (key < 0 || key > 127) return false;
    }
    int length = 0;
    if (word.empty() || word[0] != ':') return false;
    word.remove_prefix(1);
    if (!ReadNumber(word, length) || length == 0 || !word.empty()) return false;
    note = {key, length};
    return true;
}

// Chord qualities by suffix, longest first so that "m7" is not read as "m".
struct Quality {
    std::string_view suffix;
    std::vector<int> intervals;
};
const std::vector<Quality>& Qualities() {
    static const std::vector<Quality> qualities = {
        {"maj7", {0, 4, 7, 11}},  {"sus4", {0, 5, 7}}, {"sus2", {0, 2, 7}},   {"add9", {0, 4, 7, 14}},
        {"madd9", {0, 3, 7, 14}}, {"dim", {0, 3, 6}},  {"m7", {0, 3, 7, 10}}, {"7", {0, 4, 7, 10}},
        {"m", {0, 3, 7}},         {"", {0, 4, 7}},
    };
    return qualities;
}

}  // namespace

std::vector<MelodyNote> ParseMelody(std::string_view text) {
    std::vector<MelodyNote> notes;
    int sixteenths = 0;
    for (std::string_view word : SplitWords(text)) {
        // A bar line inside a bar means a miswritten length somewhere before it.
        if (word == "|") {
            if (sixteenths % SIXTEENTHS_PER_BAR != 0) return {};
            continue;
        }
        MelodyNote note{};
        if (!ParseMelodyWord(word, note)) return {};
        notes.push_back(note);
        sixteenths += note.sixteenths;
    }
    return notes;
}

std::vector<Chord> ParseChords(std::string_view text) {
    std::vector<Chord> chords;
    for (std::string_view word : SplitWords(text)) {
        if (word == "|") continue;
        // Chord roots are capitals, so "Bb" is B flat and "Bm" is B minor.
        if (!std::isupper(static_cast<unsigned char>(word[0]))) return {};
        int root = ReadPitch(word);
        if (root == NO_PITCH) return {};
        root = (root + 12) % 12;
        const Quality* quality = nullptr;
        for (const Quality& q : Qualities()) {
            if (word == q.suffix) {
                quality = &q;
                break;
            }
        }
        if (!quality) return {};
        chords.push_back({root, quality->intervals});
    }
    return chords;
}

}  // namespace music
