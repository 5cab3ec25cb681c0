// captured_frames.h - the show captured once by vrex-capture for every pixel test, and its
// frames read back.
//
// The show runs from frame 0 in a scratch data directory (MakeShowData): the generated data
// set, with the files whose colours the tests predict replaced by the tests' own:
//   "fish.TGA"      8 x 8, a colour per quadrant as the viewer sees it (bottom left red,
//                   bottom right green, top left yellow, top right magenta), blue 2 x 2 centre;
//   "fishmet.TGA"   plain green, the star's metal;
//   "metal.TGA"     plain blue METAL_BLUE, the model's tube;
//   "dinos.3ds"     a cube 60 wide standing from height 20 to 80, textured with "skin.bmp",
//                   2 x 2 plain red.
// The terrain, the walls, the particles and the credits are the generated data's own.
//
// Rendering the show takes minutes, so it is captured once for all SHOW_FRAMES. Under ctest
// the fixture program capture_show does it before the tests and passes its directory in
// VREX_CAPTURED_SHOW; a test program started by hand captures them itself, once per process.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Picture {
    int width = 0;  // 0: the frame could not be read
    int height = 0;
    std::vector<uint8_t> rgb;    // top row first
    Rgb At(int x, int y) const;  // y counted from the top
};

struct Pixel {
    int x, y;  // y from the top
};
// Where an eye-space point lands in the 800 x 600 frame: the demo's 45 degrees of vertical
// view, square pixels.
Pixel ProjectEyePoint(double x, double y, double z);

// Every frame a pixel test reads, and what the tests look for in it.
inline constexpr int SHOW_FRAMES[] = {
    0,     1,     4286,  // the clear colour, the fish, the star over the overlay
    6429,  6700,         // the turning terrain view
    7143,  7500,         // the still terrain view
    8572,  8653,         // the model in the tube
    18571, 18572,        // the last credits card, then the clear colour again
};
constexpr int METAL_BLUE = 96;

// Empty string when the generated data set is there, else why the tests cannot run.
std::string MissingData();
std::filesystem::path GeneratedDataDirectory();

// Fills `directory` (emptied first) with the show's data as described above.
void MakeShowData(const std::filesystem::path& directory);
// Renders the show in a scratch data directory and writes SHOW_FRAMES into `out` as
// frame_NNNNN.png; false when the tool failed.
bool CaptureShowInto(const std::filesystem::path& out);
// One of SHOW_FRAMES, read once from the captured show; width 0 when it is not there.
const Picture& ShowFrame(int frame);

// An uncompressed 24-bit TGA: pixels given bottom row first.
void WriteTga(const std::filesystem::path& path, int width, int height, const std::vector<Rgb>& bottomUp);
