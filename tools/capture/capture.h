// capture.h - vrex-capture: renders the show offscreen and saves chosen frames as PNG files,
// or the whole show (or a range of it) as an MP4 video with its music.
//
//     vrex-capture --frames 1,2858,4286-4290 --out DIR [--size WxH]
//     vrex-capture --video show.mp4 [--frames 4286-8571] [--size 1440x1080] [--no-audio]
//                  [--video-size 400x300] [--stills 1,9700 --out DIR]
//     vrex-capture --bench [--video show.mp4]
//     vrex-capture --bench --skip-ahead --frames 6429-6528,8572-8671
//
// Run in a data directory, like the demo. The tool opens the demo's window (800 x 600, or
// --size, any even 4:3 size: the same picture at more or fewer pixels) on SDL's offscreen
// video driver, prepares everything as the demo's initialisation does but without the
// music, and draws the show with the demo's own DrawFrame from frame 0. Every frame is
// drawn, chosen or not, because the particles and the wobble carry over from frame to frame.
// A chosen frame is read back from the back buffer just before its buffer swap, through the
// platform layer's frame observer, so no GL call is added inside the demo's frame.
//
// With --out, each chosen frame goes to DIR/frame_NNNNN.png (RGB, top row first); with
// --skip-ahead as well, the frames before a chosen one are stepped as the demo's --start steps
// them (FastForwardShow), which leaves the same state in far less time. With
// --video, every frame of one range (by default the whole show, frames 0 to 18572) becomes
// a frame of an H.264 video at 60 frames per second, and the music of "musika.mp3" from the
// range's first frame time (frame / 60 s) becomes its AAC sound; see video.h. With --bench
// alone the show is drawn to its end and the tool prints the milliseconds per frame of each
// scene row (with --skip-ahead --frames, of the chosen frames only), and the draw calls,
// primitives and bytes handed to the driver per frame where the GL it links counts them; with --video it prints the video's
// drawing and encoding speeds.
//
// One drawing of the show can serve several uses: with --video, --video-size scales the
// video down from the drawn size, and --stills with --out saves chosen frames at the drawn
// size as PNG files while the video is written, each beside frame_NNNNN.state, the show's
// state just before the frame is drawn (frame_state.h).
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "platform/platform.h"

constexpr int SHOW_END_FRAME = 18572;  // the first frame after the credits: only the clear colour
constexpr int SHOW_WIDTH = 800;        // the demo's own client size
constexpr int SHOW_HEIGHT = 600;

// What the command line asks for.
struct CaptureOptions {
    std::set<int> frames;   // --frames: the PNG frames, or the video's range (empty: the default)
    std::string directory;  // --out: where the PNG files go
    std::string video;      // --video: the MP4 file to write
    int width = SHOW_WIDTH;
    int height = SHOW_HEIGHT;
    bool bench = false;
    bool music = true;     // false with --no-audio
    std::set<int> stills;  // --stills: frames saved as PNG (and their state) while a video is written
    int videoWidth = 0;    // --video-size: the video scaled down to this size; 0: the drawn size
    int videoHeight = 0;
    bool skipAhead = false;  // --skip-ahead: the frames between chosen ones are stepped, not drawn
};

// Reads the command line (cli/command_line.h rules): GO_ON with *options filled in, or the
// status to end with at once (0 after --help or --version, 2 after a mistake, reported).
int ReadCaptureOptions(int argc, char** argv, CaptureOptions* options);

// "1,2858,4286-4290" -> {1, 2858, 4286, ..., 4290}. Frames are counted from 0. False, with
// a message in *error, for anything else: empty items, signs, reversed ranges, junk.
bool ParseFrameList(const std::string& text, std::set<int>* frames, std::string* error);

// "1440x1080" -> 1440, 1080. False, with a message, unless both sides are even and the shape
// is the show's 4:3 (another shape would show a different picture, not a larger one), from
// 160 x 120 to 4096 x 3072.
bool ParseFrameSize(const std::string& text, int* width, int* height, std::string* error);

// Writes an 8-bit RGB PNG. `rows` holds height rows of width * 3 bytes, bottom row first,
// as glReadPixels returns them; the file has the top row first. False when the file cannot
// be written.
bool WritePng(const std::string& path, int width, int height, const uint8_t* rows);

// The file name of a captured frame inside `directory`.
std::string FrameFileName(const std::string& directory, int frame);
// Reads the frame in the back buffer (width x height) and writes it as FrameFileName; false,
// after a message, when the file cannot be written.
bool SaveFramePicture(const std::string& directory, int frame, int width, int height);

// The demo's own InitDemo on `window`, with a silent audio library in place of G-Audio
// (StartMusic still prints the version line).
void PrepareShowWithoutMusic(HWND window);

// Opens the demo's window at width x height offscreen and prepares the show; null (after a
// message) when there is no window.
HWND OpenShowWindow(int width, int height);
// The demo loop's message step: every waiting message to the window procedure; false on quit.
bool PumpMessages();

// What the GL receiving the calls has sent to the driver so far: draw calls, primitives
// (glBegin/glEnd pairs) and bytes handed over (vertices, indices, state tables, texture levels).
// One small file per GL the tool links answers: draw_count_fixed.cpp (the system's GL, which
// counts nothing: -1) or draw_count_gles.cpp (our GL over shaders).
struct DrawCounts {
    long drawCalls = 0;
    long primitives = 0;
    long long bytesSent = 0;
};
DrawCounts CountDrawing();

// The two ways the tool runs; each returns the process's exit status.
int CapturePictures(const CaptureOptions& options);  // --frames with --out, or --bench alone
int RecordVideo(const CaptureOptions& options);      // --video
