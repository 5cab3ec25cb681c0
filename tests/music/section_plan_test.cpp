// The music's sections start on the frames where the demo's scene rows start firing.
#include "tools/gen-music/music.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace music;

// The frame sequencer's scene table: a row fires while lower < clock < upper, and the clock
// is a double that grows by CLOCK_STEP after every frame.
struct Row {
    double lower, upper;
};
#define ROW_BOUNDS(lower, upper, draw, step, name, key) Row{lower, upper},
constexpr Row ROWS[] = {SCENE_ROWS(ROW_BOUNDS)};
#undef ROW_BOUNDS

// Runs the clock frame by frame and records the first frame on which each row fires, and the
// first frame on which none fires any more.
std::vector<int> FirstFramesOfRows() {
    std::vector<int> first(std::size(ROWS), -1);
    int afterShow = -1;
    double clock = 0.0;
    for (int frame = 0; afterShow < 0; ++frame) {
        for (size_t r = 0; r < std::size(ROWS); ++r) {
            if (ROWS[r].lower < clock && clock < ROWS[r].upper && first[r] < 0) first[r] = frame;
        }
        if (clock > ROWS[std::size(ROWS) - 1].upper) afterShow = frame;
        clock += CLOCK_STEP;
    }
    first.push_back(afterShow);
    return first;
}

const Section& FindSection(const std::vector<Section>& sections, SectionId id) {
    for (const Section& s : sections) {
        if (s.id == id) return s;
    }
    ADD_FAILURE() << "no section " << id;
    return sections.front();
}

TEST(SectionPlan, SectionsStartWhereTheSceneRowsStartFiring) {
    const std::vector<int> rowFrames = FirstFramesOfRows();
    const std::vector<Section> sections = PlanSections();
    // The intro begins with the music, before the first frame; every other row starts a section.
    const SectionId rowSections[] = {INTRO, OVERLAY, STAR, VOLCANO, ERUPTION, STAR_RETURN, DINOSAURS, CREDITS_1};
    for (size_t r = 1; r < std::size(rowSections); ++r) {
        const Section& s = FindSection(sections, rowSections[r]);
        EXPECT_EQ(s.firstFrame, rowFrames[r]) << s.name;
        EXPECT_DOUBLE_EQ(s.startSeconds, rowFrames[r] / 60.0) << s.name;
    }
    EXPECT_EQ(FindSection(sections, CREDITS_5).endFrame, rowFrames.back());
}

TEST(SectionPlan, RowsStartOnTheFramesTheSequencerIsKnownFor) {
    const int known[] = {1, 2858, 4286, 6429, 7143, 7858, 8572, 11429, 18572};
    EXPECT_EQ(FirstFramesOfRows(), std::vector<int>(std::begin(known), std::end(known)));
    EXPECT_EQ(FirstFrameAfter(13.0), 18572);
    EXPECT_EQ(FirstFrameAfter(0.0), 1);
}

TEST(SectionPlan, SectionsFollowEachOtherWithoutGaps) {
    const std::vector<Section> sections = PlanSections();
    ASSERT_EQ(sections.size(), static_cast<size_t>(SECTION_COUNT));
    EXPECT_EQ(sections.front().startSeconds, 0.0);
    for (size_t i = 1; i < sections.size(); ++i) {
        EXPECT_EQ(sections[i].id, static_cast<SectionId>(i));
        EXPECT_EQ(sections[i].startSeconds, sections[i - 1].endSeconds) << sections[i].name;
    }
}

TEST(SectionPlan, WholeBarsFillEverySectionAtAboutOneTwentyOneBeatsPerMinute) {
    for (const Section& s : PlanSections()) {
        double barSeconds = BEATS_PER_BAR * 60.0 / s.bpm;
        EXPECT_NEAR(SecondsAt(s, s.bars * BEATS_PER_BAR), s.endSeconds, 1e-9) << s.name;
        EXPECT_NEAR(s.bpm, 120.96, 0.2) << s.name;  // sections differ by a frame or two
        EXPECT_GT(barSeconds, 0.0);
    }
    EXPECT_EQ(FindSection(PlanSections(), INTRO).bars, 24);
    EXPECT_EQ(FindSection(PlanSections(), CREDITS_3).bars, 12);
}

TEST(SectionPlan, PieceFadesOutAfterTheCreditsEndAndNoEarlierThan310Seconds) {
    const std::vector<Section> sections = PlanSections();
    EXPECT_NEAR(FindSection(sections, CODA).startSeconds, 18572 / 60.0, 1e-12);
    EXPECT_GE(PieceSeconds(sections), 310.0);
    EXPECT_LT(PieceSeconds(sections), 320.0);
}

}  // namespace
