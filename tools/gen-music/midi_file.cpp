// midi_file.cpp - the score as a standard MIDI file: format 1, the tempo map in track 0 and
// one track per channel, so the piece can be opened and edited in any sequencer.
#include "tools/gen-music/music.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace music {

namespace {

struct TrackEvent {
    uint32_t tick;
    int order;  // at the same tick: note-offs, then controls, then note-ons
    std::vector<uint8_t> bytes;
};

void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint32_t> SectionStartTicks(const std::vector<Section>& sections) {
    std::vector<uint32_t> ticks;
    uint32_t tick = 0;
    for (const Section& s : sections) {
        ticks.push_back(tick);
        tick += static_cast<uint32_t>(s.bars * BEATS_PER_BAR * TICKS_PER_BEAT);
    }
    return ticks;
}

uint32_t TickAt(const std::vector<uint32_t>& starts, int section, double beat) {
    return starts[static_cast<size_t>(section)] + static_cast<uint32_t>(std::lround(beat * TICKS_PER_BEAT));
}

std::vector<uint8_t> TrackChunk(std::vector<TrackEvent> events) {
    std::stable_sort(events.begin(), events.end(), [](const TrackEvent& a, const TrackEvent& b) {
        return std::tie(a.tick, a.order) < std::tie(b.tick, b.order);
    });
    std::vector<uint8_t> data;
    uint32_t last = 0;
    for (const TrackEvent& e : events) {
        AppendVariableLength(data, e.tick - last);
        data.insert(data.end(), e.bytes.begin(), e.bytes.end());
        last = e.tick;
    }
    const uint8_t endOfTrack[] = {0x00, 0xFF, 0x2F, 0x00};
    data.insert(data.end(), std::begin(endOfTrack), std::end(endOfTrack));
    std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
    AppendBigEndian(chunk, static_cast<uint32_t>(data.size()), 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    return chunk;
}

std::vector<TrackEvent> TempoTrack(const std::vector<Section>& sections, const std::vector<uint32_t>& starts) {
    std::vector<TrackEvent> events;
    events.push_back({0, 0, {0xFF, 0x58, 0x04, BEATS_PER_BAR, 0x02, 24, 8}});  // 4/4
    for (size_t i = 0; i < sections.size(); ++i) {
        uint32_t microseconds = static_cast<uint32_t>(std::lround(60e6 / sections[i].bpm));
        std::vector<uint8_t> tempo = {0xFF, 0x51, 0x03};
        AppendBigEndian(tempo, microseconds, 3);
        events.push_back({starts[i], 1, tempo});
        // A marker per section, so an editor shows where each scene begins.
        std::vector<uint8_t> marker = {0xFF, 0x06};
        AppendVariableLength(marker, static_cast<uint32_t>(sections[i].name.size()));
        marker.insert(marker.end(), sections[i].name.begin(), sections[i].name.end());
        events.push_back({starts[i], 2, marker});
    }
    return events;
}

std::vector<TrackEvent> ChannelTrack(const Score& score, const std::vector<uint32_t>& starts, int channel) {
    std::vector<TrackEvent> events;
    const uint8_t ch = static_cast<uint8_t>(channel);
    for (const Control& c : score.controls) {
        if (c.channel != channel) continue;
        uint32_t tick = TickAt(starts, c.section, c.beat);
        if (c.kind == ControlKind::Program) {
            events.push_back({tick, 1, {static_cast<uint8_t>(0xC0 | ch), static_cast<uint8_t>(c.number)}});
        } else {
            events.push_back(
                {tick,
                 1,
                 {static_cast<uint8_t>(0xB0 | ch), static_cast<uint8_t>(c.number), static_cast<uint8_t>(c.value)}});
        }
    }
    for (const Note& n : score.notes) {
        if (n.channel != channel) continue;
        uint32_t on = TickAt(starts, n.section, n.beat);
        uint32_t off = std::max(on + 1, TickAt(starts, n.section, n.beat + n.beats));
        uint8_t key = static_cast<uint8_t>(n.key);
        events.push_back({on, 2, {static_cast<uint8_t>(0x90 | ch), key, static_cast<uint8_t>(n.velocity)}});
        events.push_back({off, 0, {static_cast<uint8_t>(0x80 | ch), key, 0x40}});
    }
    return events;
}

}  // namespace

void AppendVariableLength(std::vector<uint8_t>& out, uint32_t value) {
    // Seven bits per byte, most significant first; every byte but the last has bit 7 set.
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) out.push_back(static_cast<uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

std::vector<uint8_t> WriteMidiFile(const Score& score) {
    std::vector<uint32_t> starts = SectionStartTicks(score.sections);
    std::vector<std::vector<uint8_t>> tracks;
    tracks.push_back(TrackChunk(TempoTrack(score.sections, starts)));
    for (int channel = 0; channel < 16; ++channel) {
        std::vector<TrackEvent> events = ChannelTrack(score, starts, channel);
        if (!events.empty()) tracks.push_back(TrackChunk(std::move(events)));
    }
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    AppendBigEndian(file, static_cast<uint32_t>(tracks.size()), 2);
    AppendBigEndian(file, TICKS_PER_BEAT, 2);
    for (const std::vector<uint8_t>& track : tracks) file.insert(file.end(), track.begin(), track.end());
    return file;
}

}  // namespace music
