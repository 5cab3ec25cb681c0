// section_plan.cpp - where the sections start, derived from the demo's frame clock.
#include "tools/gen-music/music.h"

#include <cmath>

namespace music {

namespace {

struct SectionBounds { SectionId id; std::string_view name; double clockFrom, clockTo; };

// The scene table's rows, with the credits split at the clock values where their image
// changes (9, 10, 11, 12), so each credits image has a twelve-bar block of its own.
constexpr SectionBounds SECTION_BOUNDS[] = {
    {INTRO, "intro", 0.0, 2.0},
    {OVERLAY, "overlay", 2.0, 3.0},
    {STAR, "star", 3.0, 4.5},
    {VOLCANO, "volcano", 4.5, 5.0},
    {ERUPTION, "eruption", 5.0, 5.5},
    {STAR_RETURN, "star return", 5.5, 6.0},
    {DINOSAURS, "dinosaurs", 6.0, 8.0},
    {CREDITS_1, "credits 1", 8.0, 9.0},
    {CREDITS_2, "credits 2", 9.0, 10.0},
    {CREDITS_3, "credits 3", 10.0, 11.0},
    {CREDITS_4, "credits 4", 11.0, 12.0},
    {CREDITS_5, "credits 5", 12.0, 13.0},
};

// One clock unit in seconds, for the coda, which has no frames of its own.
double ClockUnitSeconds() { return 1.0 / CLOCK_STEP / FRAMES_PER_SECOND; }

}  // namespace

int FirstFrameAfter(double bound)
{
    // The clock is a running double sum, not frame x 0.0007: add exactly as the demo does.
    double clock = 0.0;
    int frame = 0;
    while (!(clock > bound)) {
        clock += CLOCK_STEP;
        ++frame;
    }
    return frame;
}

double FrameToSeconds(int frame) { return static_cast<double>(frame) / FRAMES_PER_SECOND; }

std::vector<Section> PlanSections()
{
    std::vector<Section> sections;
    for (const SectionBounds& b : SECTION_BOUNDS) {
        Section s{};
        s.id = b.id;
        s.name = b.name;
        s.clockFrom = b.clockFrom;
        s.clockTo = b.clockTo;
        // The music starts before the first frame is drawn; the intro begins with it.
        s.firstFrame = sections.empty() ? 0 : FirstFrameAfter(b.clockFrom);
        s.endFrame = FirstFrameAfter(b.clockTo);
        s.startSeconds = FrameToSeconds(s.firstFrame);
        s.endSeconds = FrameToSeconds(s.endFrame);
        s.bars = static_cast<int>(std::lround((b.clockTo - b.clockFrom) * BARS_PER_CLOCK_UNIT));
        s.bpm = s.bars * BEATS_PER_BAR * 60.0 / (s.endSeconds - s.startSeconds);
        sections.push_back(s);
    }
    Section coda{};
    coda.id = CODA;
    coda.name = "coda";
    coda.clockFrom = coda.clockTo = sections.back().clockTo;
    coda.firstFrame = coda.endFrame = sections.back().endFrame;
    coda.startSeconds = sections.back().endSeconds;
    coda.bars = CODA_BARS;
    coda.bpm = BARS_PER_CLOCK_UNIT * BEATS_PER_BAR * 60.0 / ClockUnitSeconds();
    coda.endSeconds = coda.startSeconds + coda.bars * BEATS_PER_BAR * 60.0 / coda.bpm;
    sections.push_back(coda);
    return sections;
}

double PieceSeconds(const std::vector<Section>& sections)
{
    return sections.empty() ? 0.0 : sections.back().endSeconds;
}

double SecondsAt(const Section& section, double beat)
{
    return section.startSeconds + beat * 60.0 / section.bpm;
}

}  // namespace music
