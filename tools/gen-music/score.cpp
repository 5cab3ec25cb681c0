// score.cpp - the piece: an A minor theme that grows from a quiet intro into the star, turns
// dark for the volcano, modulates to C major for the dinosaurs, and settles into a calm
// credits theme before the opening theme returns softly and the last chord fades.
#include "tools/gen-music/sequencer.h"

namespace music {

namespace {

// Channels, counted from 0; the drums are on DRUM_CHANNEL.
constexpr int LEAD = 0, PAD = 1, BASS = 2, ARP = 3, VOICE = 4, KEYS = 5, TIMPANI = 6;

// General MIDI programs, counted from 0.
constexpr int PIANO = 0, EPIANO = 4, CELESTA = 8, VIBRAPHONE = 11, MARIMBA = 12, FINGER_BASS = 33, FRETLESS = 35,
              SYNTH_BASS = 38, TIMPANI_DRUM = 47, STRINGS = 48, SLOW_STRINGS = 49, SYNTH_STRINGS = 50, CHOIR = 52,
              BRASS = 61, SYNTH_BRASS = 62, FLUTE = 73, SQUARE_LEAD = 80, SAW_LEAD = 81, WARM_PAD = 89;

constexpr int VOLUME = 7, PAN = 10, REVERB = 91, CHORUS = 93;

// The main theme, eight bars over "Am F C G | Am F G E".
constexpr std::string_view THEME = "e5:6 d5:2 c5:4 b4:2 c5:2 | a4:6 c5:2 f5:4 e5:2 c5:2 | g5:6 e5:2 c5:4 d5:2 e5:2 | "
                                   "d5:8 b4:4 g4:4 | e5:6 d5:2 c5:4 b4:2 c5:2 | a4:6 c5:2 f5:4 g5:2 a5:2 | "
                                   "g5:4 f5:2 e5:2 d5:4 b4:4 | e5:8 g#4:4 b4:4";
constexpr std::string_view THEME_CHORDS = "Am F C G Am F G E";

// The credits theme, eight bars over "F G Em Am | F G C C".
constexpr std::string_view CALM_THEME = "a4:4 c5:4 f5:6 e5:2 | d5:8 b4:4 g4:4 | g4:4 b4:4 e5:6 d5:2 | c5:12 r:4 | "
                                        "a4:4 c5:4 f5:4 a5:4 | g5:8 f5:4 d5:4 | e5:6 d5:2 c5:4 g4:4 | c5:12 r:4";

std::vector<Chord> Chords(Score& score, std::string_view text) {
    std::vector<Chord> chords = ParseChords(text);
    if (chords.empty()) ++score.unreadable;
    return chords;
}

// Drum grooves, sixteen steps a bar.
Groove Pulse(bool clap) {
    Groove g{{{KICK, "x...x...x...x..."}, {CLOSED_HAT, "..x...x...x...x."}}, Fill::Snare, 4, false};
    if (clap) g.lines.push_back({CLAP, "....x.......x..."});
    return g;
}

Groove Drive(Fill fill, int fillEvery) {
    return {{{KICK, "X...x...X...x..."},
             {SNARE, "....X.......X..."},
             {CLOSED_HAT, "xo.oxo.oxo.oxo.o"},
             {OPEN_HAT, "..x...x...x...x."}},
            fill,
            fillEvery,
            true};
}

Groove HalfTime() {
    return {{{KICK, "X.........x....."}, {SNARE, "........X......."}, {CLOSED_HAT, "x.o.x.o.x.o.x.o."}},
            Fill::Toms,
            6,
            true};
}

Groove Pounding() {
    return {{{KICK, "X.x.x.x.X.x.x.x."}, {SNARE, "....X.......X..."}, {RIDE, "x.x.x.x.x.x.x.x."}}, Fill::Toms, 6, true};
}

Groove Tribal() {
    return {{{KICK, "X..x..x...x..x.."},
             {LOW_TOM, "x.....x.....x..."},
             {HIGH_TOM, "....x.......x.x."},
             {CLAP, "....x.......x..."},
             {TAMBOURINE, "..x...x...x...x."}},
            Fill::Toms,
            8,
            true};
}

Groove Soft(bool kick) {
    Groove g{{{SIDE_STICK, "....x.......x..."}, {RIDE, "x.o.x.o.x.o.x.o."}, {PEDAL_HAT, "..x...x...x...x."}},
             Fill::None,
             0,
             false};
    if (kick) g.lines.push_back({KICK, "x.........x....."});
    return g;
}

// Timpani on the chord roots, on one and three.
void AddTimpani(Score& score, int section, const std::vector<Chord>& chords, int velocity) {
    for (size_t i = 0; i < chords.size(); ++i) {
        int key = 40 + (chords[i].root - 40 % 12 + 12) % 12;  // from E2 up
        AddNote(score, section, i * BEATS_PER_BAR, 1.5, TIMPANI, key, velocity);
        AddNote(score, section, i * BEATS_PER_BAR + 2.0, 1.5, TIMPANI, key, velocity - 15);
    }
}

void SetUpMixer(Score& score) {
    struct Strip {
        int channel, volume, pan, reverb, chorus;
    };
    const Strip strips[] = {
        {LEAD, 96, 64, 55, 20},  {PAD, 84, 64, 80, 50},  {BASS, 104, 64, 12, 0},   {ARP, 72, 40, 60, 30},
        {VOICE, 88, 88, 70, 20}, {KEYS, 88, 76, 55, 20}, {TIMPANI, 96, 56, 60, 0}, {DRUM_CHANNEL, 100, 64, 35, 0},
    };
    for (const Strip& s : strips) {
        SetController(score, INTRO, s.channel, VOLUME, s.volume);
        SetController(score, INTRO, s.channel, PAN, s.pan);
        SetController(score, INTRO, s.channel, REVERB, s.reverb);
        SetController(score, INTRO, s.channel, CHORUS, s.chorus);
    }
}

void SetPrograms(Score& score, int section, std::initializer_list<std::pair<int, int>> programs) {
    for (auto [channel, program] : programs) SetProgram(score, section, channel, program);
}

// Pad and bass alone, then a celesta arpeggio, then the theme on vibraphone and saw lead as
// the first drums come in.
void ComposeIntro(Score& score) {
    const int s = INTRO;
    SetPrograms(score, s, {{LEAD, SAW_LEAD}, {PAD, WARM_PAD}, {BASS, SYNTH_BASS}, {ARP, CELESTA}, {KEYS, VIBRAPHONE}});
    std::vector<Chord> slow = Chords(score, "Am Am F F C C G G");
    std::vector<Chord> theme = Chords(score, THEME_CHORDS);
    AddHarmony(score, s, 0, PAD, slow, 62, 60, PadStyle::Sustain);
    AddHarmony(score, s, 8, PAD, theme, 66, 60, PadStyle::Sustain);
    AddHarmony(score, s, 16, PAD, theme, 70, 62, PadStyle::Sustain);
    AddBass(score, s, 0, BASS, slow, 70, 33, BassStyle::Pedal);
    AddBass(score, s, 8, BASS, theme, 78, 33, BassStyle::Halves);
    AddBass(score, s, 16, BASS, theme, 80, 33, BassStyle::Eighths);
    AddArpeggio(score, s, 4, ARP, {slow.begin() + 4, slow.end()}, 58, 57, ArpStyle::UpDown8);
    AddArpeggio(score, s, 8, ARP, theme, 60, 57, ArpStyle::UpDown8);
    AddArpeggio(score, s, 16, ARP, theme, 56, 57, ArpStyle::Up16);
    AddMelody(score, s, 8, KEYS, THEME, 88);
    AddMelody(score, s, 16, LEAD, THEME, 80);
    AddMelody(score, s, 16, KEYS, THEME, 62, -12);
    AddDrums(score, s, 16, 4, {{{CLOSED_HAT, "x.o.x.o.x.o.x.o."}, {SHAKER, "oxoxoxoxoxoxoxox"}}, Fill::None, 0, false},
             70);
    AddDrums(score, s, 20, 4, {{{KICK, "x.......x......."}, {CLOSED_HAT, "x.o.x.o.x.o.x.o."}}, Fill::Snare, 4, false},
             80);
}

// The build: driving eighths, a rising answer to the theme, and a snare roll into the star.
void ComposeOverlay(Score& score) {
    const int s = OVERLAY;
    SetPrograms(score, s, {{LEAD, SAW_LEAD}, {PAD, SYNTH_STRINGS}, {ARP, SQUARE_LEAD}});
    std::vector<Chord> chords = Chords(score, "F G Am Am F G C E F G E E");
    AddHarmony(score, s, 0, PAD, chords, 72, 62, PadStyle::Sustain);
    AddBass(score, s, 0, BASS, chords, 88, 33, BassStyle::Eighths);
    AddArpeggio(score, s, 0, ARP, {chords.begin(), chords.begin() + 4}, 56, 57, ArpStyle::UpDown8);
    AddArpeggio(score, s, 4, ARP, {chords.begin() + 4, chords.end()}, 60, 57, ArpStyle::Up16);
    AddMelody(score, s, 0, LEAD,
              "a4:2 c5:2 f5:2 c5:2 a4:2 c5:2 f5:2 c5:2 | b4:2 d5:2 g5:2 d5:2 b4:2 d5:2 g5:2 d5:2 | "
              "c5:2 e5:2 a5:2 e5:2 c5:2 e5:2 a5:2 b5:2 | c6:8 b5:4 a5:4 | "
              "a5:6 g5:2 f5:4 c5:4 | d5:6 e5:2 g5:4 d5:4 | e5:6 d5:2 c5:4 g4:4 | g#4:8 b4:8 | "
              "a4:4 c5:4 f5:4 a5:4 | g5:4 d5:4 b4:4 d5:4 | e5:4 g#5:4 b5:4 e6:4 | e6:8 r:8",
              86);
    AddDrums(score, s, 0, 4, Pulse(false), 84);
    AddDrums(score, s, 4, 4, Pulse(true), 88);
    Groove sixteenths = Pulse(true);
    sixteenths.lines.push_back({CLOSED_HAT, "o.o.o.o.o.o.o.o."});
    sixteenths.fill = Fill::Roll;
    AddDrums(score, s, 8, 4, sixteenths, 92);
}

// The theme in full, then again with brass stabs, then two bars that darken towards the volcano.
void ComposeStar(Score& score) {
    const int s = STAR;
    SetPrograms(score, s, {{PAD, SYNTH_STRINGS}, {VOICE, SYNTH_BRASS}});
    std::vector<Chord> theme = Chords(score, THEME_CHORDS);
    std::vector<Chord> turn = Chords(score, "F E");
    for (int bar : {0, 8}) {
        AddHarmony(score, s, bar, PAD, theme, 74, 62, PadStyle::Sustain);
        AddBass(score, s, bar, BASS, theme, 96, 33, BassStyle::Octaves);
        AddArpeggio(score, s, bar, ARP, theme, 60, 57, ArpStyle::Up16);
    }
    AddHarmony(score, s, 8, VOICE, theme, 82, 60, PadStyle::Stabs);
    AddHarmony(score, s, 16, PAD, turn, 80, 60, PadStyle::Sustain);
    AddHarmony(score, s, 16, VOICE, turn, 90, 58, PadStyle::Sustain);
    AddBass(score, s, 16, BASS, turn, 100, 28, BassStyle::Eighths);
    AddMelody(score, s, 0, LEAD, THEME, 98);
    AddMelody(score, s, 8, LEAD,
              "e5:2 e5:2 d5:2 e5:2 c5:4 b4:2 c5:2 | a4:2 a4:2 c5:2 a4:2 f5:4 e5:2 c5:2 | "
              "g5:2 g5:2 e5:2 g5:2 c6:4 b5:2 a5:2 | g5:6 f5:2 d5:4 b4:4 | "
              "e5:6 d5:2 c5:4 b4:2 c5:2 | a4:6 c5:2 f5:4 g5:2 a5:2 | g5:4 f5:2 e5:2 d5:4 b4:4 | "
              "e5:8 g#5:8",
              102);
    AddMelody(score, s, 16, LEAD, "a5:8 g5:8 | g#5:16", 100);
    AddDrums(score, s, 0, 16, Drive(Fill::Snare, 8), 92);
    AddDrums(score, s, 16, 2, Drive(Fill::Toms, 2), 96);
}

// Darker and bigger: choir, low brass, timpani, half-time drums; then the eruption, with the
// lead high above pounding drums.
void ComposeVolcano(Score& score) {
    int s = VOLCANO;
    SetPrograms(score, s, {{PAD, CHOIR}, {VOICE, BRASS}, {ARP, SQUARE_LEAD}, {TIMPANI, TIMPANI_DRUM}});
    std::vector<Chord> dark = Chords(score, "Am Am Bb Bb Dm E");
    AddHarmony(score, s, 0, PAD, dark, 84, 57, PadStyle::Sustain);
    AddBass(score, s, 0, BASS, dark, 100, 28, BassStyle::Heavy);
    AddArpeggio(score, s, 2, ARP, {dark.begin() + 2, dark.end()}, 52, 45, ArpStyle::Ostinato8);
    AddMelody(score, s, 0, VOICE,
              "a3:4 r:2 a3:2 c4:4 e4:4 | d4:6 c4:2 b3:8 | bb3:4 r:2 bb3:2 d4:4 f4:4 | e4:8 d4:8 | "
              "f4:4 e4:4 d4:4 a3:4 | g#3:8 b3:8",
              96);
    AddTimpani(score, s, dark, 100);
    AddDrums(score, s, 0, 6, HalfTime(), 96);

    s = ERUPTION;
    SetPrograms(score, s, {{PAD, CHOIR}, {VOICE, BRASS}, {LEAD, SAW_LEAD}});
    std::vector<Chord> big = Chords(score, "F G Am Am Dm E");
    AddHarmony(score, s, 0, PAD, big, 92, 62, PadStyle::Sustain);
    AddHarmony(score, s, 0, VOICE, big, 88, 55, PadStyle::Stabs);
    AddBass(score, s, 0, BASS, big, 100, 28, BassStyle::Octaves);
    AddArpeggio(score, s, 0, ARP, big, 58, 57, ArpStyle::Up16);
    AddMelody(score, s, 0, LEAD, "a5:8 c6:8 | b5:8 d6:4 b5:4 | c6:12 b5:2 a5:2 | e5:16 | f5:8 a5:8 | g#5:8 b5:8", 100);
    AddTimpani(score, s, big, 104);
    AddDrums(score, s, 0, 6, Pounding(), 98);
}

// The star once more: the theme's first half and a held dominant.
void ComposeStarReturn(Score& score) {
    const int s = STAR_RETURN;
    SetPrograms(score, s, {{PAD, SYNTH_STRINGS}, {VOICE, SYNTH_BRASS}});
    std::vector<Chord> chords = Chords(score, "Am F C G Am E");
    AddHarmony(score, s, 0, PAD, chords, 76, 62, PadStyle::Sustain);
    AddHarmony(score, s, 0, VOICE, chords, 80, 60, PadStyle::Stabs);
    AddBass(score, s, 0, BASS, chords, 96, 33, BassStyle::Octaves);
    AddArpeggio(score, s, 0, ARP, chords, 60, 57, ArpStyle::Up16);
    AddMelody(score, s, 0, LEAD,
              "e5:6 d5:2 c5:4 b4:2 c5:2 | a4:6 c5:2 f5:4 e5:2 c5:2 | g5:6 e5:2 c5:4 d5:2 e5:2 | "
              "d5:8 b4:4 g4:4 | e5:6 d5:2 c5:4 b4:2 c5:2 | b4:16",
              100);
    AddDrums(score, s, 0, 6, Drive(Fill::Roll, 6), 94);
}

// The turn: C major, a marimba ostinato over tom grooves, and a brass fanfare.
void ComposeDinosaurs(Score& score) {
    const int s = DINOSAURS;
    SetPrograms(score, s, {{LEAD, BRASS}, {PAD, STRINGS}, {BASS, FINGER_BASS}, {ARP, MARIMBA}, {VOICE, SYNTH_BRASS}});
    std::vector<Chord> groove = Chords(score, "C Am F G C Am F G");
    std::vector<Chord> lift = Chords(score, "F G Em Am F G C C");
    for (int bar : {0, 8}) {
        AddBass(score, s, bar, BASS, groove, 96, 36, BassStyle::Bounce);
        AddArpeggio(score, s, bar, ARP, groove, 82, 60, ArpStyle::Ostinato8);
    }
    AddBass(score, s, 16, BASS, lift, 96, 36, BassStyle::Bounce);
    AddArpeggio(score, s, 16, ARP, lift, 80, 60, ArpStyle::Ostinato8);
    AddHarmony(score, s, 0, VOICE, groove, 76, 60, PadStyle::Stabs);
    AddHarmony(score, s, 8, PAD, groove, 66, 64, PadStyle::Sustain);
    AddHarmony(score, s, 16, PAD, lift, 70, 64, PadStyle::Sustain);
    AddMelody(score, s, 4, LEAD, "r:8 g5:2 a5:2 c6:4 | r:8 a5:2 g5:2 e5:4 | r:8 f5:2 g5:2 a5:4 | g5:12 r:4", 88);
    AddMelody(score, s, 8, LEAD,
              "c5:6 g4:2 c5:4 e5:4 | e5:6 d5:2 c5:4 a4:4 | f4:4 a4:4 c5:6 d5:2 | d5:12 r:4 | "
              "c5:6 g4:2 c5:4 e5:4 | a5:6 g5:2 e5:4 c5:4 | f5:4 e5:4 d5:4 c5:4 | d5:8 g5:8",
              100);
    AddMelody(score, s, 16, LEAD,
              "a5:6 g5:2 f5:4 c5:4 | d5:6 e5:2 g5:8 | g5:6 f5:2 e5:4 b4:4 | c5:6 d5:2 e5:8 | "
              "f5:4 a5:4 c6:4 a5:4 | g5:8 d5:8 | e5:6 d5:2 c5:8 | c5:16",
              102);
    AddDrums(score, s, 0, 22, Tribal(), 92);
    // The drums thin out so the credits can begin calmly.
    AddDrums(score, s, 22, 2, {{{KICK, "x.......x......."}, {TAMBOURINE, "..x...x...x...x."}}, Fill::None, 0, false},
             70);
}

// Five twelve-bar blocks, one per credits image: the calm theme, its answer, a bridge, the
// theme in full, and the opening theme played softly on piano to close.
void ComposeCredits(Score& score) {
    int s = CREDITS_1;
    SetPrograms(
        score, s,
        {{LEAD, FLUTE}, {PAD, WARM_PAD}, {BASS, FRETLESS}, {ARP, VIBRAPHONE}, {VOICE, SLOW_STRINGS}, {KEYS, EPIANO}});
    std::vector<Chord> chords = Chords(score, "F G Em Am F G Em Am F G C C");
    AddHarmony(score, s, 0, PAD, chords, 60, 60, PadStyle::Sustain);
    AddHarmony(score, s, 0, KEYS, chords, 72, 64, PadStyle::Comping);
    AddBass(score, s, 0, BASS, chords, 86, 36, BassStyle::Calm);
    // A vibraphone arpeggio carries the four bars before the flute enters.
    AddArpeggio(score, s, 0, ARP, {chords.begin(), chords.begin() + 4}, 62, 60, ArpStyle::UpDown8);
    AddMelody(score, s, 4, LEAD, CALM_THEME, 86);
    AddDrums(score, s, 4, 8, Soft(false), 58);

    s = CREDITS_2;
    chords = Chords(score, "F G Em Am F G C C Dm Em F G");
    AddHarmony(score, s, 0, PAD, chords, 62, 60, PadStyle::Sustain);
    AddHarmony(score, s, 0, KEYS, chords, 72, 64, PadStyle::Comping);
    AddBass(score, s, 0, BASS, chords, 88, 36, BassStyle::Calm);
    AddMelody(score, s, 0, LEAD, CALM_THEME, 88);
    AddMelody(score, s, 8, LEAD, "d5:4 f5:4 a5:8 | b5:4 g5:4 e5:8 | c5:4 a4:4 f4:8 | g4:12 r:4", 84);
    AddMelody(score, s, 0, VOICE,
              "c4:16 | d4:16 | b3:16 | c4:16 | c4:16 | d4:16 | e4:16 | e4:16 | "
              "f4:8 a4:8 | g4:8 b4:8 | a4:8 c5:8 | b4:8 d5:8",
              70, 0, 1.0);
    AddDrums(score, s, 0, 12, Soft(true), 62);

    s = CREDITS_3;
    chords = Chords(score, "Dm Em F G Am Em F G Dm Em F E");
    AddHarmony(score, s, 0, PAD, chords, 64, 60, PadStyle::Sustain);
    AddHarmony(score, s, 0, VOICE, chords, 58, 55, PadStyle::Sustain);
    AddHarmony(score, s, 0, KEYS, chords, 70, 64, PadStyle::Comping);
    AddBass(score, s, 0, BASS, chords, 88, 36, BassStyle::Calm);
    AddMelody(score, s, 0, ARP,
              "f5:4 e5:4 d5:4 a4:4 | g4:4 b4:4 e5:8 | a5:6 g5:2 f5:4 e5:4 | d5:12 r:4 | "
              "c5:4 e5:4 a5:8 | g5:6 e5:2 b4:8 | c5:4 d5:4 e5:4 f5:4 | g5:12 r:4 | "
              "a5:6 f5:2 d5:8 | e5:6 g5:2 b5:8 | a5:8 c5:8 | b4:8 g#4:8",
              96, 0, 1.0);
    AddDrums(score, s, 0, 12, Soft(true), 62);
    AddFill(score, s, 11, Fill::Snare, 60);

    s = CREDITS_4;
    chords = Chords(score, "F G Em Am F G C C F G C C");
    AddHarmony(score, s, 0, PAD, chords, 66, 60, PadStyle::Sustain);
    AddHarmony(score, s, 0, VOICE, chords, 60, 55, PadStyle::Sustain);
    AddHarmony(score, s, 0, KEYS, chords, 74, 64, PadStyle::Comping);
    AddBass(score, s, 0, BASS, chords, 90, 36, BassStyle::Calm);
    AddMelody(score, s, 0, LEAD, CALM_THEME, 90);
    AddMelody(score, s, 0, ARP, CALM_THEME, 70, -12, 1.0);
    AddMelody(score, s, 8, LEAD, "a5:4 c6:4 a5:4 f5:4 | g5:4 b5:4 d6:8 | c6:6 b5:2 g5:4 e5:4 | c5:16", 88);
    AddDrums(score, s, 0, 12, Soft(true), 64);

    s = CREDITS_5;
    SetPrograms(score, s, {{LEAD, PIANO}});
    chords = Chords(score, "Am F C G Am F G E Am F G Am");
    AddHarmony(score, s, 0, PAD, chords, 62, 60, PadStyle::Sustain);
    AddHarmony(score, s, 0, VOICE, chords, 56, 55, PadStyle::Sustain);
    AddBass(score, s, 0, BASS, chords, 84, 33, BassStyle::Calm);
    AddMelody(score, s, 0, LEAD, THEME, 84, 0, 1.0);
    AddMelody(score, s, 0, LEAD, THEME, 60, -12, 1.0);
    AddMelody(score, s, 8, LEAD, "c5:8 b4:8 | a4:8 c5:8 | b4:8 d5:8 | a4:16", 80, 0, 1.0);
    AddDrums(score, s, 0, 8, Soft(true), 58);
    AddDrums(score, s, 8, 2, {{{RIDE, "x.o.x.o.x.o.x.o."}}, Fill::None, 0, false}, 50);
}

// The last chord, A minor with an added ninth, rolled on the piano over the pad and a low A.
void ComposeCoda(Score& score) {
    const int s = CODA;
    const double hold = CODA_BARS * BEATS_PER_BAR;
    AddHarmony(score, s, 0, PAD, Chords(score, "Am Am Am"), 64, 60, PadStyle::Sustain);
    AddHarmony(score, s, 0, VOICE, Chords(score, "Am Am Am"), 56, 55, PadStyle::Sustain);
    AddNote(score, s, 0, hold, BASS, 33, 80);
    const int roll[] = {45, 52, 57, 59, 60, 64};
    for (int i = 0; i < 6; ++i) AddNote(score, s, i * 0.12, hold - i * 0.12, LEAD, roll[i], 70 - i * 3);
}

}  // namespace

Score ComposeScore() {
    Score score;
    score.sections = PlanSections();
    SetUpMixer(score);
    ComposeIntro(score);
    ComposeOverlay(score);
    ComposeStar(score);
    ComposeVolcano(score);
    ComposeStarReturn(score);
    ComposeDinosaurs(score);
    ComposeCredits(score);
    ComposeCoda(score);
    return score;
}

}  // namespace music
