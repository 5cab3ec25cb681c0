// section_plan.cpp - where the sections start, derived from the demo's frame clock.
#include "tools/gen-music/music.h"

#include <cmath>
#include <iterator>

namespace music {

namespace {

struct ClockBounds {
    double from, to;
};

#define SECTION_ROW(lower, upper, draw, step, name, key) ClockBounds{lower, upper},
constexpr ClockBounds ROW_BOUNDS[] = {SCENE_ROWS(SECTION_ROW)};
#undef SECTION_ROW
#define SECTION_CARD(lower, upper, image) ClockBounds{lower, upper},
constexpr ClockBounds CARD_BOUNDS[] = {CREDITS_CARDS(SECTION_CARD)};
#undef SECTION_CARD

// Every scene row is a section, but the credits row, which is split at its cards so that each
// credits image has a twelve-bar block of its own.
static_assert(SCENE_ROW_COUNT - 1 + CREDITS_CARD_COUNT == CODA, "one section per row and per credits card");
constexpr std::string_view SECTION_NAMES[CODA] = {
    "intro",     "overlay",   "star",      "volcano",   "eruption",  "star return",
    "dinosaurs", "credits 1", "credits 2", "credits 3", "credits 4", "credits 5",
};

std::vector<ClockBounds> SectionBounds() {
    std::vector<ClockBounds> bounds(std::begin(ROW_BOUNDS), std::end(ROW_BOUNDS) - 1);
    bounds.insert(bounds.end(), std::begin(CARD_BOUNDS), std::end(CARD_BOUNDS));
    return bounds;
}

// One clock unit in seconds, for the coda, which has no frames of its own.
double ClockUnitSeconds() { return 1.0 / CLOCK_STEP / FRAMES_PER_SECOND; }

}  // namespace

int FirstFrameAfter(double bound) {
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

std::vector<Section> PlanSections() {
    std::vector<Section> sections;
    const std::vector<ClockBounds> bounds = SectionBounds();
    for (size_t i = 0; i < bounds.size(); ++i) {
        const ClockBounds& b = bounds[i];
        Section s{};
        s.id = static_cast<SectionId>(i);
        s.name = SECTION_NAMES[i];
        s.clockFrom = b.from;
        s.clockTo = b.to;
        // The music starts before the first frame is drawn; the intro begins with it.
        s.firstFrame = sections.empty() ? 0 : FirstFrameAfter(b.from);
        s.endFrame = FirstFrameAfter(b.to);
        s.startSeconds = FrameToSeconds(s.firstFrame);
        s.endSeconds = FrameToSeconds(s.endFrame);
        s.bars = static_cast<int>(std::lround((b.to - b.from) * BARS_PER_CLOCK_UNIT));
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

double PieceSeconds(const std::vector<Section>& sections) {
    return sections.empty() ? 0.0 : sections.back().endSeconds;
}

double SecondsAt(const Section& section, double beat) { return section.startSeconds + beat * 60.0 / section.bpm; }

}  // namespace music
