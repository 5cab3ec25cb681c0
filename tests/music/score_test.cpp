// The composed score: every part is written, playable, and inside its section.
#include "tools/gen-music/music.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using namespace music;

const Score& TheScore() {
    static const Score score = ComposeScore();
    return score;
}

TEST(Score, EveryMelodyAndChordTextIsReadable) { EXPECT_EQ(TheScore().unreadable, 0); }

TEST(Score, NotesArePlayableAndStayInsideTheirSection) {
    for (const Note& n : TheScore().notes) {
        ASSERT_GE(n.section, 0);
        ASSERT_LT(n.section, SECTION_COUNT);
        const Section& s = TheScore().sections[static_cast<size_t>(n.section)];
        EXPECT_GE(n.key, 0);
        EXPECT_LE(n.key, 127);
        EXPECT_GE(n.velocity, 1);
        EXPECT_LE(n.velocity, 127);
        EXPECT_GT(n.beats, 0.0);
        EXPECT_GE(n.beat, 0.0);
        EXPECT_LE(n.beat + n.beats, s.bars * BEATS_PER_BAR + 1e-9) << s.name << " key " << n.key;
        EXPECT_GE(n.channel, 0);
        EXPECT_LT(n.channel, 16);
    }
}

TEST(Score, DrumsPlayOnChannelTenAndOtherChannelsHavePrograms) {
    std::set<int> programmed;
    for (const Control& c : TheScore().controls) {
        if (c.kind == ControlKind::Program && c.section == INTRO) programmed.insert(c.channel);
    }
    std::set<int> used;
    for (const Note& n : TheScore().notes) used.insert(n.channel);
    EXPECT_TRUE(used.count(DRUM_CHANNEL));
    for (int channel : used) {
        if (channel == DRUM_CHANNEL) continue;
        // Channels first heard later get their program in the section they start in.
        bool hasProgram = false;
        for (const Control& c : TheScore().controls)
            hasProgram |= c.kind == ControlKind::Program && c.channel == channel;
        EXPECT_TRUE(hasProgram) << "channel " << channel;
    }
    EXPECT_FALSE(programmed.count(DRUM_CHANNEL));
}

// Melody, harmony, bass and drums in every section from the overlay to the credits.
TEST(Score, SectionsOfTheShowHaveMelodyHarmonyBassAndDrums) {
    std::map<int, std::set<int>> channelsBySection;
    for (const Note& n : TheScore().notes) channelsBySection[n.section].insert(n.channel);
    for (int s = OVERLAY; s <= CREDITS_4; ++s) {
        const std::set<int>& channels = channelsBySection[s];
        EXPECT_TRUE(channels.count(DRUM_CHANNEL)) << TheScore().sections[static_cast<size_t>(s)].name;
        EXPECT_GE(channels.size(), 4u) << TheScore().sections[static_cast<size_t>(s)].name;
    }
    EXPECT_FALSE(channelsBySection[CODA].count(DRUM_CHANNEL));
}

// No stretch of the show is a copy of another: the notes of every section differ.
TEST(Score, NoTwoSectionsRepeatEachOther) {
    std::map<int, std::multiset<std::tuple<double, int, int>>> contents;
    for (const Note& n : TheScore().notes) contents[n.section].insert({n.beat, n.channel, n.key});
    for (int a = 0; a < SECTION_COUNT; ++a) {
        for (int b = a + 1; b < SECTION_COUNT; ++b) EXPECT_NE(contents[a], contents[b]) << a << " and " << b;
    }
}

TEST(Score, SoundNeverStopsForASecondBeforeTheCoda) {
    // Time covered by some sounding note, in 10 ms cells.
    const double end = TheScore().sections[CODA].startSeconds;
    std::vector<bool> covered(static_cast<size_t>(end * 100) + 1, false);
    for (const Note& n : TheScore().notes) {
        const Section& s = TheScore().sections[static_cast<size_t>(n.section)];
        double on = SecondsAt(s, n.beat), off = SecondsAt(s, n.beat + n.beats);
        for (double t = on; t < off && t < end; t += 0.01) covered[static_cast<size_t>(t * 100)] = true;
    }
    int gap = 0, longest = 0;
    for (bool c : covered) {
        gap = c ? 0 : gap + 1;
        longest = std::max(longest, gap);
    }
    EXPECT_LT(longest, 50);  // under half a second even without release tails
}

TEST(Score, ComposingTwiceGivesTheSameScore) {
    Score again = ComposeScore();
    ASSERT_EQ(again.notes.size(), TheScore().notes.size());
    for (size_t i = 0; i < again.notes.size(); ++i) {
        EXPECT_EQ(again.notes[i].key, TheScore().notes[i].key);
        EXPECT_EQ(again.notes[i].velocity, TheScore().notes[i].velocity);
        EXPECT_EQ(again.notes[i].beat, TheScore().notes[i].beat);
    }
}

}  // namespace
