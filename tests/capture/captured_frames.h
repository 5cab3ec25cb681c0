// captured_frames.h - runs vrex-capture in a data directory of the demo's own data with two
// images of the test's making, and reads the captured frames back.
//
// The fish ("fish.TGA") becomes an 8 x 8 picture with a colour per quadrant as the viewer
// sees it (bottom left red, bottom right green, top left yellow, top right magenta) and a
// blue 2 x 2 centre; the star's metal ("fishmet.TGA") becomes plain green. Every other file
// comes from the generated data set, which the tests need (they skip without it).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // top row first
    Rgb At(int x, int y) const;  // y counted from the top
};

// Empty string when the data set is there, else why the tests cannot run.
std::string MissingData();
// Captures `frames` ("0,1,4286") and returns each frame's picture; empty on failure.
std::map<int, Picture> CaptureFrames(const std::string& frames);
// The same in a data directory of the caller's making (the frames go to its "out" folder).
std::map<int, Picture> CaptureFramesIn(const std::filesystem::path& directory, const std::string& frames);

// An uncompressed 24-bit TGA: pixels given bottom row first.
void WriteTga(const std::filesystem::path& path, int width, int height, const std::vector<Rgb>& bottomUp);
