// video_show.h - the show drawn once offscreen for every test that compares a whole show
// drawn from frame 0, the tool run as a child process, and a video file read back through
// libavformat and libavcodec (never through the writer's own code).
//
// Drawing the show takes minutes, so it is done once, in the generated data, by one run of
// the tool: the fixture program video_show (under ctest, before the tests; its folder in
// VREX_VIDEO_SHOW) runs
//     --video show.mp4 --video-size 400x300 --stills <PngFrames()> --out png
// which draws every frame at the demo's 800 x 600 and writes, from that one drawing, the
// whole show as a video scaled to half size, with its music; the stills as PNG at full size
// (the compared frames and their neighbours, the README's pictures, the state frames); and
// the show's state before each still (frame_NNNNN.state). A test program started by hand
// exports them itself, once per process.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

// Half the drawn size: each pixel of the video is the mean of a 2 x 2 block of the stills.
inline constexpr int VIDEO_TEST_WIDTH = 400;
inline constexpr int VIDEO_TEST_HEIGHT = 300;
inline constexpr const char* VIDEO_TEST_SIZE = "400x300";
inline constexpr int SHOW_DRAWN_WIDTH = 800;
inline constexpr int SHOW_DRAWN_HEIGHT = 600;

// Frames of every scene row, each compared with its PNG. A frame in a scene that moves
// enough differs from both neighbours; elsewhere (the still cards, the dark and slow
// terrain) the frames on both sides of a change are compared, each with the neighbour
// across it. The comparison with those neighbours must fail: that is what catches a video
// off by one frame, early or late.
struct ComparedFrame {
    int frame;
    bool previousDiffers, nextDiffers;
};
inline constexpr ComparedFrame COMPARED_FRAMES[] = {
    {1428, false, true},  {1429, true, false},   // intro: the fish, then INTRO1
    {3571, false, true},  {3572, true, false},   // the overlay, then the intro square over it
    {5000, true, true},                          // the axis star
    {6428, false, true},  {6429, true, false},   // the star, then the turning terrain
    {7857, false, true},  {7858, true, false},   // the still terrain, then the star again
    {8200, true, true},                          // the axis star again
    {10000, true, true},                         // the model in the tube
    {12857, false, true}, {12858, true, false},  // credits: coder, then design
};

// One frame inside every row (past its first frame, so skipping within the row is covered),
// the overlay's second half, and the empty frame after the credits: the states and pictures
// skipping ahead must reach.
inline constexpr int STATE_FRAMES[] = {700, 2900, 3900, 5000, 6700, 7500, 8000, 10000, 15000, 18572};

// Every still the export writes: the compared frames and their neighbours, the STATE_FRAMES,
// and `more` (the README's pictures).
std::set<int> PngFrames(const std::set<int>& more = {});
std::string FrameListText(const std::set<int>& frames);

// ---- the tool as a child process ------------------------------------------------------------
struct ToolRun {
    int status;          // the exit status, or 128 + the signal that ended it
    std::string errors;  // what it wrote on standard error
};
// Starts vrex-capture in `directory` with standard error into `errorsFile`; a nonzero
// fileSizeLimit caps the size of every file it writes (SIGXFSZ ignored, so writes fail).
pid_t StartTool(const std::filesystem::path& directory, const std::vector<std::string>& args,
                const std::filesystem::path& errorsFile, long fileSizeLimit = 0);
ToolRun WaitForTool(pid_t pid, const std::filesystem::path& errorsFile);
ToolRun RunTool(const std::filesystem::path& directory, const std::vector<std::string>& args, long fileSizeLimit = 0);

// Empty when the generated data set is there, else why the tests cannot run.
std::string MissingShowData();
std::filesystem::path ShowDataDirectory();

// The export into `out`, with `moreStills` besides PngFrames(); false when the tool failed.
bool ExportVideoShowInto(const std::filesystem::path& out, const std::set<int>& moreStills = {});
// The frames of the README's pictures, as `script --list` names them ("NAME FRAME" lines).
std::set<int> ScreenshotFrames(const std::string& script);
std::filesystem::path VideoShowDirectory();  // the fixture's folder, or this process's own export

// ---- reading a video back -------------------------------------------------------------------
struct VideoFacts {
    bool opened = false;
    std::string videoCodec, pixelFormat;
    int width = 0, height = 0;
    int64_t videoPackets = 0;
    double frameRate = 0;     // the stream's average frame rate
    double videoSeconds = 0;  // the stream's duration
    bool hasAudio = false;
    std::string audioCodec;
    int sampleRate = 0;
    double audioSeconds = 0;         // the sound stream's duration
    double decodedAudioSeconds = 0;  // what a decoder gives: the encoder's priming removed, its padding not
    bool indexFirst = false;         // the moov box comes before the mdat box
};
VideoFacts ReadVideoFacts(const std::filesystem::path& path);

// The luma planes of the chosen frames (counted from 0 in decoding order), width x height each.
std::map<int, std::vector<uint8_t>> DecodeLuma(const std::filesystem::path& path, const std::set<int>& frames);
// The first channel of the sound, decoded as a player would; *rate gets its sample rate.
std::vector<float> DecodeSound(const std::filesystem::path& path, int* rate);
