// The music's section plan against the sequencer itself: the show is drawn frame by frame as
// the demo draws it, and every frame of every section must show that section's scene row
// (and, in the credits, its card), so the music changes exactly where the pictures do.
#include <gtest/gtest.h>

#include <vector>

#include "scenes/timeline.h"
#include "tests/scenes/show_doubles.h"
#include "tests/support/gl_recorder.h"
#include "tools/gen-music/music.h"

namespace {

struct DrawnFrame {
    int row;         // the scene row the sequencer fired, 0 for none
    unsigned image;  // the texture bound after the frame
};

std::vector<DrawnFrame> DrawShow(int frames) {
    StartFromInitialisedState();
    glrec::SetRecording(false);
    std::vector<DrawnFrame> drawn;
    for (int frame = 0; frame < frames; ++frame) {
        const int row = SceneRowAt(g_demoClock);
        DrawFrame();
        drawn.push_back({row, glrec::BoundTexture()});
    }
    return drawn;
}

// Sections follow the rows in order, but the credits row has one section per card.
constexpr int CREDITS_ROW = SCENE_ROW_COUNT;

int RowOfSection(int section) { return section < CREDITS_ROW - 1 ? section + 1 : CREDITS_ROW; }

TEST(ShowPlan, EveryFrameOfAMusicSectionShowsThatSectionsScene) {
    const std::vector<music::Section> sections = music::PlanSections();
    const music::Section& coda = sections.back();
    ASSERT_EQ(coda.id, music::CODA);
    const std::vector<DrawnFrame> show = DrawShow(coda.firstFrame + 2);
    // The music starts with the first frame, which is drawn before the clock has moved.
    EXPECT_EQ(show[0].row, 0);
    for (int s = 0; s < music::CODA; ++s) {
        const music::Section& section = sections[s];
        SCOPED_TRACE(section.name);
        for (int frame = section.firstFrame == 0 ? 1 : section.firstFrame; frame < section.endFrame; ++frame) {
            ASSERT_EQ(show[frame].row, RowOfSection(s)) << "frame " << frame;
            if (s >= CREDITS_ROW - 1) {
                ASSERT_EQ(show[frame].image, unsigned(CODER + s - (CREDITS_ROW - 1))) << "frame " << frame;
            }
        }
    }
    // The coda plays over the cleared screen after the last card.
    EXPECT_EQ(show[coda.firstFrame].row, 0);
    EXPECT_EQ(show[coda.firstFrame - 1].row, CREDITS_ROW);
}

}  // namespace
