// The sequencer: the frame's frame (clear, identity, one row, counter, clock, swap), the
// wobble oscillator, and what the terrain and model rows call.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake_platform.h"
#include "resources/textures.h"
#include "scenes/timeline.h"
#include "tests/scenes/show_doubles.h"
#include "tests/support/gl_recorder.h"

using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

using glrec::Float;

TEST(Wobble, FirstStepReadsIndexOne) {
    StartFromInitialisedState();
    AdvanceWobble();
    EXPECT_EQ(g_wobbleIndex, 1);
    EXPECT_EQ(g_wobble, g_sinTable[1] * 9);
    EXPECT_NEAR(g_wobble, 0.2208, 1e-4);
}

TEST(Wobble, CycleIs254StepsAndNeverReadsEntries0Or255) {
    StartFromInitialisedState();
    for (int step = 1; step <= 254; ++step) {
        AdvanceWobble();
        ASSERT_EQ(g_wobble, g_sinTable[step] * 9) << "step " << step;
    }
    EXPECT_EQ(g_wobbleIndex, 0);
    EXPECT_NEAR(g_wobble, -0.4416, 1e-4);
    AdvanceWobble();
    EXPECT_EQ(g_wobbleIndex, 1);
    EXPECT_EQ(g_wobble, g_sinTable[1] * 9);
}

TEST(DrawFrame, FrameZeroClearsAndPresentsOnly) {
    StartFromInitialisedState();
    DrawFrame();
    EXPECT_THAT(glrec::Lines(), ElementsAre("glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)", "glLoadIdentity()"));
    EXPECT_TRUE(g_routineCalls.empty());
    EXPECT_EQ(g_frameCounter, 1);
    EXPECT_EQ(g_demoClock, 0.0007);
    EXPECT_EQ(g_wobbleIndex, 0);
}

TEST(DrawFrame, SwapsBuffersOnTheWindowLastAndReturnsItsResult) {
    for (BOOL swapResult : {TRUE, FALSE}) {
        StartFromInitialisedState();
        fake::g_answers.swapBuffers = swapResult;
        GoToFrame(1, 0);
        EXPECT_EQ(DrawFrame(), swapResult);
        EXPECT_THAT(fake::Names(), ElementsAre("SwapBuffers"));
        EXPECT_EQ(fake::g_calls[0].args, "dc");
    }
}

// A recorder of the show (vrex-capture) reads the frame in the observer and names it by the
// counter, so the observer must come after every GL call of the frame and after the count.
struct Observed {
    HDC deviceContext;
    int32_t frameCounter;
    std::size_t glCallsSoFar;
};

void RecordObservation(HDC deviceContext, void* user) {
    static_cast<std::vector<Observed>*>(user)->push_back({deviceContext, g_frameCounter, glrec::Lines().size()});
}

TEST(DrawFrame, AFrameObserverSeesEachPresentedFrameAfterItsLastGlCallAndItsCount) {
    StartFromInitialisedState();
    std::vector<Observed> seen;
    SetFrameObserver(RecordObservation, &seen);
    GoToFrame(8572, 3);  // the model row: a frame with many GL calls
    DrawFrame();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].deviceContext, fake::FakeDeviceContext());
    EXPECT_EQ(seen[0].frameCounter, 8573);
    EXPECT_EQ(seen[0].glCallsSoFar, glrec::Lines().size());

    fake::g_answers.swapBuffers = FALSE;  // a frame that is not presented is not seen
    DrawFrame();
    EXPECT_EQ(seen.size(), 1u);
    fake::g_answers.swapBuffers = TRUE;
    SetFrameObserver(nullptr, nullptr);
    DrawFrame();
    EXPECT_EQ(seen.size(), 1u);
}

TEST(DrawFrame, ClockGrowsByRepeatedAdditionNotByMultiplication) {
    StartFromInitialisedState();
    glrec::SetRecording(false);
    double sum = 0;
    for (int frame = 0; frame < 12000; ++frame) {
        DrawFrame();
        sum += 0.0007;
        ASSERT_EQ(g_demoClock, sum) << "after frame " << frame;
    }
    EXPECT_NE(g_demoClock, 12000 * 0.0007);  // the sum has drifted from the product by now
    EXPECT_EQ(g_frameCounter, 12000);
}

TEST(DrawFrame, AfterFrameZeroTheClockNeverLandsOnABound) {
    const double bounds[] = {0, 1, 1.5, 2, 2.5, 3, 4.5, 5, 5.5, 6, 8, 9, 10, 11, 12, 13};
    double clock = 0.0007;
    for (int frame = 1; frame < 20000; ++frame, clock += 0.0007)
        for (double bound : bounds) ASSERT_NE(clock, bound) << "frame " << frame;
}

TEST(DrawFrame, CounterWrapsInsteadOfOverflowing) {
    StartFromInitialisedState();
    g_demoClock = 100;  // long after the show
    g_frameCounter = INT32_MAX;
    DrawFrame();
    EXPECT_EQ(g_frameCounter, INT32_MIN);
}

// Rows 4 and 5: the terrain frame and the four draws, in order, inside the pushed matrix.
struct TerrainRowCase {
    int frame;
    std::vector<std::string> before;  // the GL calls up to the push and the terrain's place
};

TEST(DrawFrame, TerrainRowsPlaceTheTerrainAndDrawItsFourPartsInOrder) {
    const TerrainRowCase cases[] = {
        {6429,
         {"glTranslatef(-40, 0, 0)", "glRotatef(" + Float(float(6429 * 0.3)) + ", 0, 1, 0)", "glPushMatrix()",
          "glTranslatef(-128, -28, -150)"}},
        {7142,
         {"glTranslatef(-40, 0, 0)", "glRotatef(" + Float(float(7142 * 0.3)) + ", 0, 1, 0)", "glPushMatrix()",
          "glTranslatef(-128, -28, -150)"}},
        {7143, {"glTranslatef(-40, 0, 0)", "glPushMatrix()", "glTranslatef(-128, -28, -260)"}},
        {7857, {"glTranslatef(-40, 0, 0)", "glPushMatrix()", "glTranslatef(-128, -28, -260)"}},
    };
    for (const TerrainRowCase& c : cases) {
        SCOPED_TRACE(c.frame);
        StartFromInitialisedState();
        GoToFrame(c.frame, 17);
        DrawFrame();
        std::vector<std::string> expected = {"glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)", "glLoadIdentity()"};
        expected.insert(expected.end(), c.before.begin(), c.before.end());
        expected.push_back("glPopMatrix()");
        EXPECT_THAT(glrec::Lines(), ElementsAreArray(expected));
        std::vector<std::string> names;
        for (const RoutineCall& call : g_routineCalls) {
            names.push_back(call.name);
            EXPECT_EQ(call.glCallsBefore, expected.size() - 1) << "between the terrain's place and the pop";
            EXPECT_EQ(call.frameCounter, c.frame);
        }
        EXPECT_THAT(names,
                    ElementsAre("DrawBackdrop", "DrawTerrainFirstBand", "DrawParticles", "DrawTerrainSecondBand"));
        EXPECT_EQ(g_wobbleIndex, 17);  // the terrain does not use the wobble
    }
}

TEST(DrawFrame, TurningAngleIsComputedInDoubleBeforeNarrowing) {
    // 6429 * 0.3 rounded once from double differs from the product of floats.
    ASSERT_NE(Float(float(6429 * 0.3)), Float(6429 * 0.3f));
    StartFromInitialisedState();
    GoToFrame(6429, 0);
    DrawFrame();
    EXPECT_EQ(glrec::Calls()[3].text, "glRotatef(1928.69995, 0, 1, 0)");
}

TEST(DrawFrame, ModelRowCallsTheModelSceneOnly) {
    for (int frame : {8572, 11428}) {
        StartFromInitialisedState();
        GoToFrame(frame, 236);
        DrawFrame();
        ASSERT_EQ(g_routineCalls.size(), 1u);
        EXPECT_EQ(g_routineCalls[0].name, "DrawModelScene");
        EXPECT_EQ(g_routineCalls[0].glCallsBefore, 2u);  // right after the clear and the identity
        EXPECT_EQ(glrec::Calls().size(), 2u);
    }
}

TEST(SceneRowAt, BoundsBelongToNoRow) {
    const std::pair<double, int> cases[] = {{0, 0},    {1e-9, 1}, {2, 0},    {2.0000001, 2}, {3, 0},    {4.5, 0},
                                            {4.75, 4}, {5, 0},    {5.25, 5}, {5.5, 0},       {5.75, 6}, {6, 0},
                                            {7, 7},    {8, 0},    {12.9, 8}, {13, 0},        {-1, 0},   {1e9, 0}};
    for (auto [clock, row] : cases) EXPECT_EQ(SceneRowAt(clock), row) << clock;
}

}  // namespace
