// music.h - the demo's own music: composed in code, rendered through a General MIDI
// soundfont, mastered and encoded to "musika.mp3" at build time.
//
// The show is frame-counted: its clock adds 0.0007 per frame, and at 60 frames per second
// each clock unit lasts 23.8 s. PlanSections() derives from that clock where every scene
// starts, and gives each section a whole number of 4/4 bars (twelve per clock unit, about
// 121 beats per minute), so the music changes where the pictures do when the demo runs at
// 60 frames per second. ComposeScore() fills the plan with note events: melody, harmony,
// bass, arpeggios and drums (channel 10), with a coda that fades out after the credits.
//
// The pipeline, as vrex-gen-music OUTDIR [SOUNDFONT] runs it:
//     Score score = ComposeScore();
//     WriteMidiFile(score)                 -> "musika.mid", for anyone who edits the piece
//     Audio audio = RenderScore(score, soundfont, 0, PieceSeconds(score.sections));
//     MasterAudio(audio, ...)              -> fade, loudness to -14 LUFS, peaks under -1 dBFS
//     EncodeMp3(audio)                     -> "musika.mp3", 44.1 kHz stereo CBR 192 kbit/s
// (RenderMasteredPiece does the rendering and mastering; vrex-gen-web-music encodes the web
// page's copies from the same rendering, see web_music.h.)
// Every step is deterministic: no clock, no random seed, one synthesis thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "scenes/show_plan.h"

namespace music {

// ---- The frame plan and the sections cut from it ------------------------------------------
// The clock step and the scenes' bounds come from the show's plan (scenes/show_plan.h).

constexpr int FRAMES_PER_SECOND = 60;  // the frame rate the music is composed for
constexpr int BEATS_PER_BAR = 4;
constexpr int BARS_PER_CLOCK_UNIT = 12;  // 23.8 s per clock unit: about 121 beats per minute
constexpr int CODA_BARS = 3;             // the final chord after the credits, fading out
constexpr int SAMPLE_RATE = 44100;

enum SectionId {
    INTRO,        // three intro images
    OVERLAY,      // the wobbling fish layers: the build
    STAR,         // the sphere-mapped star
    VOLCANO,      // the turning terrain with its fountain
    ERUPTION,     // the still terrain, the fountain up close
    STAR_RETURN,  // the star once more
    DINOSAURS,    // the model in the metal tube
    CREDITS_1,
    CREDITS_2,
    CREDITS_3,
    CREDITS_4,
    CREDITS_5,  // one per credits image
    CODA,       // after the show: the last chord fades
    SECTION_COUNT
};

struct Section {
    SectionId id;
    std::string_view name;
    double clockFrom, clockTo;  // the scene table's open interval (the coda has none)
    int firstFrame, endFrame;   // frames [firstFrame, endFrame) at the demo's clock
    double startSeconds, endSeconds;
    int bars;
    double bpm;  // chosen so that the bars fill the section exactly
};

// The first frame whose accumulated clock exceeds `bound`: where a scene row starts firing.
int FirstFrameAfter(double bound);
double FrameToSeconds(int frame);
std::vector<Section> PlanSections();
double PieceSeconds(const std::vector<Section>& sections);
// Time of a beat counted from the start of a section.
double SecondsAt(const Section& section, double beat);

// ---- The score ------------------------------------------------------------------------------

constexpr int DRUM_CHANNEL = 9;  // General MIDI channel 10, counted from 0

struct Note {
    int section;
    double beat;   // from the start of the section
    double beats;  // length
    int channel;
    int key;  // MIDI key, 60 = middle C
    int velocity;
};

enum class ControlKind { Program, Controller };

struct Control {
    int section;
    double beat;
    int channel;
    ControlKind kind;
    int number;  // program, or controller number
    int value;   // controller value (unused for a program)
};

struct Score {
    std::vector<Section> sections;
    std::vector<Note> notes;
    std::vector<Control> controls;
    int unreadable = 0;  // melody or chord texts that didn't parse: 0 in a finished score
};

Score ComposeScore();

// ---- Notation used to write the score ------------------------------------------------------

struct Chord {
    int root;                    // pitch class, 0 = C
    std::vector<int> intervals;  // semitones above the root, root included as 0
};

// "e5:6 d5:2 r:4 | g#4:8": note name, octave, ':' length in sixteenths; 'r' rests; '|' is a
// bar line, checked to fall on a whole bar. Returns (key, sixteenths) pairs, key -1 for a
// rest; an unreadable token or a misplaced bar line gives an empty list.
struct MelodyNote {
    int key;
    int sixteenths;
};
std::vector<MelodyNote> ParseMelody(std::string_view text);
// "Am F C G7 Bb Em": one chord per bar. An unreadable name gives an empty list.
std::vector<Chord> ParseChords(std::string_view text);

// ---- Standard MIDI file -------------------------------------------------------------------

constexpr int TICKS_PER_BEAT = 480;
void AppendVariableLength(std::vector<uint8_t>& out, uint32_t value);
std::vector<uint8_t> WriteMidiFile(const Score& score);  // format 1, tempo map in track 0

// ---- Rendering, loudness, mastering, encoding ----------------------------------------------

struct Audio {
    std::vector<float> left, right;  // planar, SAMPLE_RATE frames per second, full scale 1.0
};

// Hands the piece to `take` as interleaved stereo, `sliceFrames` frames at a time, so that the
// libraries that want it interleaved never need a second copy of the whole piece. False as soon
// as `take` refuses a slice.
bool ForEachStereoSlice(const Audio& audio, size_t sliceFrames,
                        const std::function<bool(const float* interleaved, size_t frames)>& take);

// Plays the score's events that start inside [fromSeconds, toSeconds) through FluidSynth,
// sample-accurately, with the controls before `fromSeconds` applied at its start. Returns
// empty audio when the soundfont can't be loaded.
Audio RenderScore(const Score& score, const std::string& soundfont, double fromSeconds, double toSeconds);

// ITU-R BS.1770 integrated loudness in LUFS: K-weighting, 400 ms blocks overlapping by 75 %,
// the absolute gate at -70 LUFS and the relative gate 10 LU below. -HUGE_VAL for silence.
double IntegratedLoudness(const Audio& audio, int sampleRate = SAMPLE_RATE);
double PeakDbfs(const Audio& audio);
// The highest peak between the samples as well (libebur128's four-times oversampling), in dBFS:
// what a decoder or a converter may reach where the samples themselves stay lower.
double TruePeakDbfs(const Audio& audio, int sampleRate = SAMPLE_RATE);

// A look-ahead peak limiter: the gain falls in a straight line over `lookaheadFrames` before a
// peak and recovers exponentially, so no sample ends above `ceiling` (linear) and no step in
// the gain is heard as a click.
void LimitPeaks(Audio& audio, float ceiling, int lookaheadFrames, double releaseSeconds);

struct MasterReport {
    double renderedLufs;  // before any gain
    double gainDb;        // applied before the limiter
    double lufs;          // after mastering
    double peakDbfs;
    double deepestLimitDb;  // the most the limiter took off any peak
};
constexpr double TARGET_LUFS = -14.0;
// Below the -1 dBFS the file promises: MP3 coding adds overshoot to the decoded peaks.
constexpr double CEILING_DBFS = -2.0;
// Removes DC, fades out from fadeStart to fadeEnd (silence after), then finds the gain that
// brings the limited signal to the target loudness.
MasterReport MasterAudio(Audio& audio, double fadeStartSeconds, double fadeEndSeconds, double targetLufs = TARGET_LUFS,
                         double ceilingDbfs = CEILING_DBFS);

constexpr int MP3_KBPS = 192;
// Constant bit rate, joint stereo, with the LAME tag that lets decoders drop the encoder's
// delay and padding. Empty on failure.
std::vector<uint8_t> EncodeMp3(const Audio& audio, int kbps = MP3_KBPS);

// ---- The whole piece, as every encoding of it starts -----------------------------------------

struct MasteredPiece {
    Audio audio;
    MasterReport report;
};
// Renders and masters the composed score: the one rendering that musika.mp3 and the web page's
// copies are all encoded from. Empty audio (and a message) when the score has unreadable parts
// or the soundfont fails.
MasteredPiece RenderMasteredPiece(const Score& score, const std::string& soundfont);

}  // namespace music
