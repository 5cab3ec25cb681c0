// sequencer.h - the part writers the score is built from.
//
// Every writer adds note events to one section of a Score, starting at a bar of that section:
// melodies from the text notation, and harmony, bass, arpeggio and drum parts generated from
// one chord per bar in a named style. Velocities get a small, fixed variation from a hash of
// the note's place, so repeated patterns don't sound mechanical and two runs stay identical.
#pragma once

#include "tools/gen-music/music.h"

#include <string_view>
#include <vector>

namespace music {

// General MIDI drum keys on channel 10.
constexpr int KICK = 36, SIDE_STICK = 37, SNARE = 38, CLAP = 39, LOW_TOM = 45, MID_TOM = 47, HIGH_TOM = 50,
              FLOOR_TOM = 41, CLOSED_HAT = 42, PEDAL_HAT = 44, OPEN_HAT = 46, CRASH = 49, RIDE = 51, TAMBOURINE = 54,
              SHAKER = 70;

void SetProgram(Score& score, int section, int channel, int program);
void SetController(Score& score, int section, int channel, int controller, int value);
void AddNote(Score& score, int section, double beat, double beats, int channel, int key, int velocity);

// Notes in sixteenths from `bar`; each sounds for `gate` of its written length.
void AddMelody(Score& score, int section, int bar, int channel, std::string_view text, int velocity, int transpose = 0,
               double gate = 0.92);

enum class PadStyle {
    Sustain,  // the chord held for the whole bar (tied over when the next bar repeats it)
    Stabs,    // short chords on 1, the and of 2, and 4
    Comping,  // on 1 and the and of 2, as a pianist would
    Pulse,    // eighths, for the build
};
// Chord voicings near `center`, in the inversion closest to it.
void AddHarmony(Score& score, int section, int bar, int channel, const std::vector<Chord>& chords, int velocity,
                int center, PadStyle style);

enum class BassStyle { Pedal, Halves, Eighths, Octaves, Heavy, Bounce, Calm };
// Roots in the octave from `lowKey` up.
void AddBass(Score& score, int section, int bar, int channel, const std::vector<Chord>& chords, int velocity,
             int lowKey, BassStyle style);

enum class ArpStyle { Up16, UpDown8, Ostinato8 };
void AddArpeggio(Score& score, int section, int bar, int channel, const std::vector<Chord>& chords, int velocity,
                 int lowKey, ArpStyle style);

// One drum per line, sixteen steps per bar: 'X' accent, 'x' hit, 'o' ghost, '.' rest.
struct DrumLine {
    int key;
    std::string_view steps;
};
enum class Fill { None, Snare, Toms, Roll };
struct Groove {
    std::vector<DrumLine> lines;
    Fill fill;      // played over the second half of every `fillEvery`-th bar
    int fillEvery;  // 0: no fills
    bool crash;     // a crash on the first bar and after every fill
};
void AddDrums(Score& score, int section, int bar, int bars, const Groove& groove, int velocity);
// A fill over the last two beats of one bar, with no groove under it.
void AddFill(Score& score, int section, int bar, Fill fill, int velocity);

}  // namespace music
