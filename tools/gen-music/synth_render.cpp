// synth_render.cpp - plays the score through FluidSynth offline, with no audio driver: the
// events go to the synthesizer in sample order and the output is pulled block by block.
#include "tools/gen-music/music.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

namespace music {

namespace {

enum class EventType { NoteOff, Program, Controller, NoteOn };

struct SynthEvent {
    int64_t frame;
    EventType type;  // also the order at the same frame: offs, then controls, then ons
    int channel, a, b;
};

int64_t FrameAt(double seconds) { return std::llround(seconds * SAMPLE_RATE); }

std::vector<SynthEvent> ScheduleEvents(const Score& score, double fromSeconds, double toSeconds) {
    std::vector<SynthEvent> events;
    const int64_t from = FrameAt(fromSeconds);
    for (const Control& c : score.controls) {
        double at = SecondsAt(score.sections[static_cast<size_t>(c.section)], c.beat);
        if (at >= toSeconds) continue;
        // Controls before the excerpt set up its channels at its first sample.
        int64_t frame = std::max<int64_t>(0, FrameAt(at) - from);
        EventType type = c.kind == ControlKind::Program ? EventType::Program : EventType::Controller;
        events.push_back({frame, type, c.channel, c.number, c.value});
    }
    for (const Note& n : score.notes) {
        const Section& section = score.sections[static_cast<size_t>(n.section)];
        double on = SecondsAt(section, n.beat);
        if (on < fromSeconds || on >= toSeconds) continue;
        double off = SecondsAt(section, n.beat + n.beats);
        events.push_back({FrameAt(on) - from, EventType::NoteOn, n.channel, n.key, n.velocity});
        events.push_back({std::max(FrameAt(on) + 1, FrameAt(off)) - from, EventType::NoteOff, n.channel, n.key, 0});
    }
    std::stable_sort(events.begin(), events.end(), [](const SynthEvent& x, const SynthEvent& y) {
        return std::tie(x.frame, x.type) < std::tie(y.frame, y.type);
    });
    return events;
}

void SendEvent(fluid_synth_t* synth, const SynthEvent& e) {
    switch (e.type) {
    case EventType::NoteOff: fluid_synth_noteoff(synth, e.channel, e.a); break;
    case EventType::Program: fluid_synth_program_change(synth, e.channel, e.a); break;
    case EventType::Controller: fluid_synth_cc(synth, e.channel, e.a, e.b); break;
    case EventType::NoteOn: fluid_synth_noteon(synth, e.channel, e.a, e.b); break;
    }
}

fluid_settings_t* SynthSettings() {
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", SAMPLE_RATE);
    // One thread: the mix never depends on how the operating system schedules helpers.
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    fluid_settings_setint(settings, "synth.polyphony", 256);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_settings_setint(settings, "synth.reverb.active", 1);
    fluid_settings_setnum(settings, "synth.reverb.room-size", 0.6);
    fluid_settings_setnum(settings, "synth.reverb.damp", 0.4);
    fluid_settings_setnum(settings, "synth.reverb.width", 0.8);
    fluid_settings_setnum(settings, "synth.reverb.level", 0.6);
    fluid_settings_setint(settings, "synth.chorus.active", 1);
    fluid_settings_setnum(settings, "synth.gain", 0.4);
    return settings;
}

}  // namespace

Audio RenderScore(const Score& score, const std::string& soundfont, double fromSeconds, double toSeconds) {
    Audio audio;
    if (toSeconds <= fromSeconds) return audio;
    fluid_settings_t* settings = SynthSettings();
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (!synth || fluid_synth_sfload(synth, soundfont.c_str(), 1) == FLUID_FAILED) {
        std::fprintf(stderr, "cannot load the soundfont %s\n", soundfont.c_str());
        if (synth) delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        return audio;
    }
    const int64_t frames = FrameAt(toSeconds) - FrameAt(fromSeconds);
    audio.left.assign(static_cast<size_t>(frames), 0.0f);
    audio.right.assign(static_cast<size_t>(frames), 0.0f);

    std::vector<SynthEvent> events = ScheduleEvents(score, fromSeconds, toSeconds);
    size_t next = 0;
    int64_t frame = 0;
    constexpr int64_t MAX_BLOCK = 4096;
    while (frame < frames) {
        while (next < events.size() && events[next].frame <= frame) SendEvent(synth, events[next++]);
        int64_t until = next < events.size() ? std::min(events[next].frame, frames) : frames;
        int len = static_cast<int>(std::min(until - frame, MAX_BLOCK));
        fluid_synth_write_float(synth, len, audio.left.data(), static_cast<int>(frame), 1, audio.right.data(),
                                static_cast<int>(frame), 1);
        frame += len;
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return audio;
}

}  // namespace music
