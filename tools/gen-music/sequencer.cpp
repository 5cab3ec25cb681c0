// sequencer.cpp - part writers: melody, harmony, bass, arpeggio and drums.
#include "tools/gen-music/sequencer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace music {

namespace {

constexpr double SIXTEENTH = 0.25;  // in beats

int ClampVelocity(int velocity) { return std::clamp(velocity, 1, 127); }

// A fixed variation of -4..4 from the note's place: the same note always gets the same value.
int VelocityVariation(int section, double beat, int key) {
    uint32_t h = static_cast<uint32_t>(section) * 2654435761u;
    h ^= static_cast<uint32_t>(std::lround(beat * 96.0)) * 2246822519u;
    h ^= static_cast<uint32_t>(key) * 3266489917u;
    h ^= h >> 15;
    h *= 668265263u;
    h ^= h >> 13;
    return static_cast<int>(h % 9) - 4;
}

// The key of pitch class `pc` in the octave from `lowKey` up.
int KeyInOctave(int pc, int lowKey) { return lowKey + ((pc - lowKey) % 12 + 12) % 12; }

// The chord's tones stacked upwards from each of its inversions; the one whose middle lies
// nearest `center` wins, which keeps successive chords close together.
std::vector<int> Voicing(const Chord& chord, int center) {
    std::vector<int> best;
    double bestDistance = 1e9;
    size_t n = chord.intervals.size();
    for (size_t inversion = 0; inversion < n; ++inversion) {
        std::vector<int> keys;
        int previous = -1;
        for (size_t i = 0; i < n; ++i) {
            int pc = (chord.root + chord.intervals[(inversion + i) % n]) % 12;
            int key = previous < 0 ? KeyInOctave(pc, center - 9) : KeyInOctave(pc, previous + 1);
            keys.push_back(key);
            previous = key;
        }
        double middle = (keys.front() + keys.back()) / 2.0;
        double distance = std::abs(middle - center);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = keys;
        }
    }
    return best;
}

void AddChord(Score& score, int section, double beat, double beats, int channel, const std::vector<int>& keys,
              int velocity) {
    for (int key : keys) AddNote(score, section, beat, beats, channel, key, velocity);
}

bool SameChord(const Chord& a, const Chord& b) { return a.root == b.root && a.intervals == b.intervals; }

void AddBassBar(Score& score, int section, double at, int channel, int root, int velocity, BassStyle style) {
    int fifth = root + 7;
    int octave = root + 12;
    struct Step {
        double beat, beats;
        int key;
        int accent;
    };
    std::vector<Step> steps;
    switch (style) {
    case BassStyle::Pedal: steps = {{0, 4, root, 0}}; break;
    case BassStyle::Halves: steps = {{0, 2, root, 0}, {2, 2, fifth, -8}}; break;
    case BassStyle::Eighths:
        for (int i = 0; i < 8; ++i) steps.push_back({i * 0.5, 0.4, root, i % 2 ? -12 : 0});
        break;
    case BassStyle::Octaves:
        for (int i = 0; i < 8; ++i) steps.push_back({i * 0.5, 0.4, i % 2 ? octave : root, i % 2 ? -10 : 0});
        break;
    case BassStyle::Heavy:
        steps = {{0, 1.5, root, 8}, {1.5, 0.5, root, -6}, {2, 1, root, 4}, {3, 0.5, fifth, -6}, {3.5, 0.5, octave, -4}};
        break;
    case BassStyle::Bounce:
        steps = {{0, 0.5, root, 6},      {0.75, 0.25, octave, -8}, {1.5, 0.5, root, 0},  {2, 0.5, fifth, -4},
                 {2.75, 0.25, root, -8}, {3, 0.5, octave, 0},      {3.5, 0.5, fifth, -6}};
        break;
    case BassStyle::Calm: steps = {{0, 2, root, 0}, {2.5, 1, root, -10}, {3.5, 0.5, fifth, -14}}; break;
    }
    for (const Step& s : steps) AddNote(score, section, at + s.beat, s.beats, channel, s.key, velocity + s.accent);
}

// Tones of the chord from `lowKey` up, over two octaves.
std::vector<int> ArpeggioKeys(const Chord& chord, int lowKey) {
    std::vector<int> keys;
    int base = KeyInOctave(chord.root, lowKey);
    for (int octave = 0; octave < 2; ++octave) {
        for (int interval : chord.intervals) {
            if (interval < 12) keys.push_back(base + interval + 12 * octave);
        }
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

void AddArpeggioBar(Score& score, int section, double at, int channel, const Chord& chord, int velocity, int lowKey,
                    ArpStyle style) {
    std::vector<int> keys = ArpeggioKeys(chord, lowKey);
    int root = KeyInOctave(chord.root, lowKey);
    int third = root + chord.intervals[1 % chord.intervals.size()];
    switch (style) {
    case ArpStyle::Up16:
        for (int i = 0; i < 16; ++i) {
            int key = keys[static_cast<size_t>(i) % keys.size()];
            AddNote(score, section, at + i * SIXTEENTH, 0.2, channel, key, velocity + (i % 4 ? -10 : 0));
        }
        break;
    case ArpStyle::UpDown8: {
        std::vector<int> path = keys;
        for (size_t i = keys.size() - 1; i-- > 1;) path.push_back(keys[i]);
        for (int i = 0; i < 8; ++i) {
            int key = path[static_cast<size_t>(i) % path.size()];
            AddNote(score, section, at + i * 0.5, 0.45, channel, key, velocity + (i % 2 ? -8 : 0));
        }
        break;
    }
    case ArpStyle::Ostinato8: {
        const int pattern[8] = {root, root + 7, root + 12, root + 7, third + 12, root + 7, root + 12, root + 7};
        for (int i = 0; i < 8; ++i) {
            AddNote(score, section, at + i * 0.5, 0.4, channel, pattern[i], velocity + (i % 2 ? -10 : 0));
        }
        break;
    }
    }
}

int StepVelocity(char step, int velocity) {
    switch (step) {
    case 'X': return velocity + 18;
    case 'x': return velocity;
    case 'o': return velocity - 35;
    default: return 0;
    }
}

}  // namespace

void SetProgram(Score& score, int section, int channel, int program) {
    score.controls.push_back({section, 0.0, channel, ControlKind::Program, program, 0});
}

void SetController(Score& score, int section, int channel, int controller, int value) {
    score.controls.push_back({section, 0.0, channel, ControlKind::Controller, controller, value});
}

void AddNote(Score& score, int section, double beat, double beats, int channel, int key, int velocity) {
    if (key < 0 || key > 127) return;
    int varied = ClampVelocity(velocity + VelocityVariation(section, beat, key));
    score.notes.push_back({section, beat, beats, channel, key, varied});
}

void AddMelody(Score& score, int section, int bar, int channel, std::string_view text, int velocity, int transpose,
               double gate) {
    std::vector<MelodyNote> notes = ParseMelody(text);
    if (notes.empty()) ++score.unreadable;
    double beat = bar * BEATS_PER_BAR;
    for (const MelodyNote& note : notes) {
        double beats = note.sixteenths * SIXTEENTH;
        if (note.key >= 0) {
            // Notes on the beat lean a little harder than those between.
            int accent = std::fmod(beat, 1.0) == 0.0 ? 4 : -2;
            AddNote(score, section, beat, beats * gate, channel, note.key + transpose, velocity + accent);
        }
        beat += beats;
    }
}

void AddHarmony(Score& score, int section, int bar, int channel, const std::vector<Chord>& chords, int velocity,
                int center, PadStyle style) {
    for (size_t i = 0; i < chords.size(); ++i) {
        double at = (bar + static_cast<double>(i)) * BEATS_PER_BAR;
        std::vector<int> keys = Voicing(chords[i], center);
        switch (style) {
        case PadStyle::Sustain: {
            if (i > 0 && SameChord(chords[i - 1], chords[i])) break;  // tied from the bar before
            size_t end = i + 1;
            while (end < chords.size() && SameChord(chords[end], chords[i])) ++end;
            AddChord(score, section, at, (end - i) * BEATS_PER_BAR - 0.05, channel, keys, velocity);
            break;
        }
        case PadStyle::Stabs:
            AddChord(score, section, at, 0.4, channel, keys, velocity + 6);
            AddChord(score, section, at + 1.5, 0.4, channel, keys, velocity);
            AddChord(score, section, at + 3.0, 0.4, channel, keys, velocity - 4);
            break;
        case PadStyle::Comping:
            AddChord(score, section, at, 1.4, channel, keys, velocity);
            AddChord(score, section, at + 1.5, 2.3, channel, keys, velocity - 10);
            break;
        case PadStyle::Pulse:
            for (int e = 0; e < 8; ++e)
                AddChord(score, section, at + e * 0.5, 0.35, channel, keys, velocity + (e % 2 ? -8 : 0));
            break;
        }
    }
}

void AddBass(Score& score, int section, int bar, int channel, const std::vector<Chord>& chords, int velocity,
             int lowKey, BassStyle style) {
    for (size_t i = 0; i < chords.size(); ++i) {
        double at = (bar + static_cast<double>(i)) * BEATS_PER_BAR;
        AddBassBar(score, section, at, channel, KeyInOctave(chords[i].root, lowKey), velocity, style);
    }
}

void AddArpeggio(Score& score, int section, int bar, int channel, const std::vector<Chord>& chords, int velocity,
                 int lowKey, ArpStyle style) {
    for (size_t i = 0; i < chords.size(); ++i) {
        double at = (bar + static_cast<double>(i)) * BEATS_PER_BAR;
        AddArpeggioBar(score, section, at, channel, chords[i], velocity, lowKey, style);
    }
}

void AddFill(Score& score, int section, int bar, Fill fill, int velocity) {
    double at = bar * BEATS_PER_BAR + 2.0;
    static constexpr int TOMS[8] = {HIGH_TOM, HIGH_TOM, MID_TOM, MID_TOM, LOW_TOM, LOW_TOM, FLOOR_TOM, FLOOR_TOM};
    for (int i = 0; i < 8; ++i) {
        int rising = velocity - 28 + i * 5;  // every fill grows into the next bar
        switch (fill) {
        case Fill::None: return;
        case Fill::Snare:
            if (i >= 4 || i % 2 == 0) AddNote(score, section, at + i * SIXTEENTH, 0.2, DRUM_CHANNEL, SNARE, rising);
            break;
        case Fill::Toms: AddNote(score, section, at + i * SIXTEENTH, 0.2, DRUM_CHANNEL, TOMS[i], rising + 8); break;
        case Fill::Roll:
            AddNote(score, section, at + i * SIXTEENTH, 0.1, DRUM_CHANNEL, SNARE, rising);
            AddNote(score, section, at + (i + 0.5) * SIXTEENTH, 0.1, DRUM_CHANNEL, SNARE, rising - 6);
            break;
        }
    }
    AddNote(score, section, at, 0.2, DRUM_CHANNEL, KICK, velocity);
}

void AddDrums(Score& score, int section, int bar, int bars, const Groove& groove, int velocity) {
    for (int b = 0; b < bars; ++b) {
        double at = (bar + b) * BEATS_PER_BAR;
        bool fillBar = groove.fillEvery > 0 && groove.fill != Fill::None && (b + 1) % groove.fillEvery == 0;
        bool afterFill = groove.fillEvery > 0 && b > 0 && b % groove.fillEvery == 0;
        for (const DrumLine& line : groove.lines) {
            int steps = fillBar ? 8 : 16;
            for (int s = 0; s < steps && s < static_cast<int>(line.steps.size()); ++s) {
                int v = StepVelocity(line.steps[static_cast<size_t>(s)], velocity);
                if (v > 0) AddNote(score, section, at + s * SIXTEENTH, 0.2, DRUM_CHANNEL, line.key, v);
            }
        }
        if (fillBar) AddFill(score, section, bar + b, groove.fill, velocity);
        if (groove.crash && (b == 0 || afterFill)) AddNote(score, section, at, 1.0, DRUM_CHANNEL, CRASH, velocity + 5);
    }
}

}  // namespace music
