// The standard MIDI file written beside the music.
#include "tools/gen-music/music.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace music;

uint32_t BigEndian(const std::vector<uint8_t>& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[at + static_cast<size_t>(i)];
    return value;
}

TEST(MidiFile, VariableLengthQuantitiesUseSevenBitsPerByte) {
    struct Case {
        uint32_t value;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {0x00, {0x00}},
        {0x40, {0x40}},
        {0x7F, {0x7F}},
        {0x80, {0x81, 0x00}},
        {0x2000, {0xC0, 0x00}},
        {0x3FFF, {0xFF, 0x7F}},
        {0x4000, {0x81, 0x80, 0x00}},
        {0x1FFFFF, {0xFF, 0xFF, 0x7F}},
        {0x200000, {0x81, 0x80, 0x80, 0x00}},
        {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out;
        AppendVariableLength(out, c.value);
        EXPECT_EQ(out, c.bytes) << std::hex << c.value;
    }
}

// A two-section score with one note, small enough to read byte by byte.
Score TinyScore() {
    Score score;
    Section a{};
    a.bars = 1;
    a.bpm = 120.0;
    a.name = "a";
    Section b = a;
    b.startSeconds = a.endSeconds = 2.0;
    b.bpm = 60.0;
    b.name = "b";
    score.sections = {a, b};
    score.controls.push_back({0, 0.0, 3, ControlKind::Program, 12, 0});
    score.notes.push_back({1, 1.0, 0.5, 3, 64, 100});
    return score;
}

TEST(MidiFile, HeaderAnnouncesFormatOneWithATempoTrackAndOneTrackPerChannel) {
    std::vector<uint8_t> file = WriteMidiFile(TinyScore());
    ASSERT_GE(file.size(), 14u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "MThd");
    EXPECT_EQ(BigEndian(file, 4, 4), 6u);
    EXPECT_EQ(BigEndian(file, 8, 2), 1u);   // format 1
    EXPECT_EQ(BigEndian(file, 10, 2), 2u);  // tempo track and channel 3's track
    EXPECT_EQ(BigEndian(file, 12, 2), static_cast<uint32_t>(TICKS_PER_BEAT));
    // Every chunk's length leads exactly to the next chunk or the end of the file.
    size_t at = 14;
    int tracks = 0;
    while (at < file.size()) {
        ASSERT_EQ(std::string(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at) + 4), "MTrk");
        at += 8 + BigEndian(file, at + 4, 4);
        ++tracks;
    }
    EXPECT_EQ(at, file.size());
    EXPECT_EQ(tracks, 2);
}

TEST(MidiFile, NoteLandsOnItsTickAfterTheProgramChange) {
    std::vector<uint8_t> file = WriteMidiFile(TinyScore());
    // The channel track is the last chunk: program change at 0, the note one bar and one beat
    // in (2400 ticks), half a beat long (240 ticks), then the end of the track.
    const std::vector<uint8_t> expected = {
        0x00, 0xC3, 12,   0x92, 0x60, 0x93, 64, 100,  // delta 2400 = 0x12 << 7 | 0x60
        0x81, 0x70, 0x83, 64,   0x40,                 // delta 240
        0x00, 0xFF, 0x2F, 0x00,
    };
    ASSERT_GE(file.size(), expected.size());
    EXPECT_EQ(std::vector<uint8_t>(file.end() - static_cast<long>(expected.size()), file.end()), expected);
}

TEST(MidiFile, TempoTrackCarriesEachSectionsTempo) {
    std::vector<uint8_t> file = WriteMidiFile(TinyScore());
    // Tempo meta events: FF 51 03 and microseconds per beat.
    std::vector<uint32_t> tempos;
    for (size_t i = 0; i + 6 <= file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0x51 && file[i + 2] == 0x03) tempos.push_back(BigEndian(file, i + 3, 3));
    }
    EXPECT_EQ(tempos, (std::vector<uint32_t>{500000, 1000000}));
}

TEST(MidiFile, WholeScoreWritesEveryNoteOnAndOff) {
    Score score = ComposeScore();
    std::vector<uint8_t> file = WriteMidiFile(score);
    EXPECT_EQ(BigEndian(file, 10, 2), 9u);  // tempo track and eight channels
    // Running status is never used, so every note is a status byte 0x9n and 0x8n.
    size_t ons = 0, offs = 0;
    size_t at = 14;
    while (at + 8 <= file.size()) {
        size_t end = at + 8 + BigEndian(file, at + 4, 4);
        at += 8;
        while (at < end) {
            while (file[at] & 0x80) ++at;  // delta time
            ++at;
            uint8_t status = file[at];
            if (status == 0xFF) {
                at += 2;
                uint32_t length = 0;
                while (file[at] & 0x80) length = length << 7 | (file[at++] & 0x7F);
                length = length << 7 | file[at++];
                at += length;
            } else {
                if ((status & 0xF0) == 0x90) ++ons;
                if ((status & 0xF0) == 0x80) ++offs;
                at += (status & 0xF0) == 0xC0 ? 2 : 3;
            }
        }
    }
    EXPECT_EQ(ons, score.notes.size());
    EXPECT_EQ(offs, score.notes.size());
}

}  // namespace
