// capture.h - vrex-capture: renders the show offscreen and saves chosen frames as PNG files.
//
//     vrex-capture --frames 1,2858,4286-4290 --out DIR [--bench]
//
// Run in a data directory, like the demo. The tool opens the demo's 800 x 600 window on
// SDL's offscreen video driver, prepares everything as the demo's initialisation does but
// without the music, and draws the show with the demo's own DrawFrame from frame 0. Every
// frame is drawn, chosen or not, because the particles and the wobble carry over from
// frame to frame. A chosen frame is read back from the back buffer just before its buffer
// swap and written to DIR/frame_NNNNN.png (RGB, top row first). With --bench the show is
// drawn to its end and the tool prints the milliseconds per frame of each scene row.
//
// The swap is caught at link time (--wrap=SwapBuffers), so the frame path is exactly the
// demo's: no extra GL call happens inside a frame.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "platform/platform.h"

// "1,2858,4286-4290" -> {1, 2858, 4286, ..., 4290}. Frames are counted from 0. False, with
// a message in *error, for anything else: empty items, signs, reversed ranges, junk.
bool ParseFrameList(const std::string& text, std::set<int>* frames, std::string* error);

// Writes an 8-bit RGB PNG. `rows` holds height rows of width * 3 bytes, bottom row first,
// as glReadPixels returns them; the file has the top row first. False when the file cannot
// be written.
bool WritePng(const std::string& path, int width, int height, const uint8_t* rows);

// The file name of a captured frame inside `directory`.
std::string FrameFileName(const std::string& directory, int frame);

// The demo's own InitDemo on `window`, with a silent audio library in place of G-Audio
// (StartMusic still prints the version line).
void PrepareShowWithoutMusic(HWND window);
