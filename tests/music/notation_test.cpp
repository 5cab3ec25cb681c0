// The score's text notation: note names, lengths, bar lines and chord symbols.
#include "tools/gen-music/music.h"

#include <gtest/gtest.h>

namespace {

using namespace music;

TEST(Notation, MelodyWordsGiveKeysAndLengths) {
    struct Case {
        const char* text;
        int key;
        int sixteenths;
    };
    const Case cases[] = {
        {"c4:4", 60, 4},  {"a4:2", 69, 2},   {"g#4:8", 68, 8}, {"bb3:1", 58, 1}, {"b#3:4", 60, 4},
        {"cb4:4", 59, 4}, {"e6:16", 88, 16}, {"r:6", -1, 6},   {"C4:4", 60, 4},  {"c-1:4", -1, -1},
    };
    for (const Case& c : cases) {
        std::vector<MelodyNote> notes = ParseMelody(c.text);
        if (c.sixteenths < 0) {
            EXPECT_TRUE(notes.empty()) << c.text;
            continue;
        }
        ASSERT_EQ(notes.size(), 1u) << c.text;
        EXPECT_EQ(notes[0].key, c.key) << c.text;
        EXPECT_EQ(notes[0].sixteenths, c.sixteenths) << c.text;
    }
}

TEST(Notation, UnreadableMelodiesGiveNothing) {
    const char* bad[] = {"h4:4", "c4", "c4:", "c4:0", "c4:4x", "c:4", "g#9:4", "c4;4", "r4"};
    for (const char* text : bad) EXPECT_TRUE(ParseMelody(text).empty()) << text;
}

TEST(Notation, BarLinesMustFallOnWholeBars) {
    EXPECT_EQ(ParseMelody("c4:8 d4:8 | e4:16 | f4:4").size(), 4u);
    EXPECT_TRUE(ParseMelody("c4:8 d4:6 | e4:16").empty());
    EXPECT_TRUE(ParseMelody("c4:16 | e4:12 | f4:4").empty());
}

TEST(Notation, ChordSymbolsGiveRootAndIntervals) {
    struct Case {
        const char* text;
        int root;
        std::vector<int> intervals;
    };
    const Case cases[] = {
        {"C", 0, {0, 4, 7}},      {"Am", 9, {0, 3, 7}},         {"Bb", 10, {0, 4, 7}},       {"Bm", 11, {0, 3, 7}},
        {"G7", 7, {0, 4, 7, 10}}, {"F#m7", 6, {0, 3, 7, 10}},   {"Cmaj7", 0, {0, 4, 7, 11}}, {"Dsus4", 2, {0, 5, 7}},
        {"Cb", 11, {0, 4, 7}},    {"Amadd9", 9, {0, 3, 7, 14}},
    };
    for (const Case& c : cases) {
        std::vector<Chord> chords = ParseChords(c.text);
        ASSERT_EQ(chords.size(), 1u) << c.text;
        EXPECT_EQ(chords[0].root, c.root) << c.text;
        EXPECT_EQ(chords[0].intervals, c.intervals) << c.text;
    }
}

TEST(Notation, ChordListsReadOneChordPerBar) {
    EXPECT_EQ(ParseChords("Am F C G | Am F G E").size(), 8u);
    const char* bad[] = {"am", "Hm", "Cx", "C F q", "Am7b5"};
    for (const char* text : bad) EXPECT_TRUE(ParseChords(text).empty()) << text;
}

}  // namespace
