// frame_state.h - the show's state at the start of a frame, as text: everything a frame
// starts from, which skipping ahead must reproduce exactly. vrex-capture writes it beside
// each still (--stills), from the show as it draws every frame; tests compare it with the
// state FastForwardShow reaches.
#pragma once

#include <map>
#include <string>
#include <vector>

// Named values, every one a double: exact for the show's floats and 32-bit integers. The
// particles, 3000 records, are kept as a 64-bit hash of their bytes in two halves.
using FrameState = std::map<std::string, std::vector<double>>;

// The show's own variables (clock, counter, wobble, particles and their random sequence) and
// the GL state the scenes set or leave, read from the current context. glGetError is read
// too, which clears the error flag.
FrameState ReadFrameState();

// One "name<TAB>value value ..." line per entry, each value a hexadecimal float, so that
// reading it back gives the same bits.
std::string FrameStateText(const FrameState& state);
// False when a line is not of that form; *state holds the lines read.
bool ParseFrameState(const std::string& text, FrameState* state);

// DIR/frame_NNNNN.state, beside the frame's PNG file.
std::string FrameStateFileName(const std::string& directory, int frame);
// ReadFrameState into `path`; false when the file cannot be written.
bool WriteFrameState(const std::string& path);
// The state in `path`; false when it cannot be read or parsed.
bool LoadFrameState(const std::string& path, FrameState* state);
