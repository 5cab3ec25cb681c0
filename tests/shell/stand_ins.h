// stand_ins.h - what the shell's tests put around the shell: the neighbours it calls
// (InitDemo, DrawFrame, ReleaseModel and their globals) and the GL and GLU entry points it
// uses, all recording into the fake platform's call list, so one list shows platform calls,
// GL calls and the neighbours' turns in the order they happened.
//
// The shell's sources are compiled into the test itself, so nothing else of the demo is linked.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fake_platform.h"

namespace stand_in {

// Runs after each DrawFrame: lets a test queue messages between frames. DrawFrame and
// StepShowOver advance g_frameCounter, as the show's do.
extern std::function<void(int frame)> g_afterFrame;
extern int g_framesDrawn;      // back to 0 when the show restarts
extern int g_showEndsAfter;    // ShowHasEnded once the show's frame counter reaches this (ShowEndFrame)
extern double g_musicSeconds;  // MusicPositionSeconds' answer; -1: no music sounds
// The arguments of the last gluPerspective, exactly.
extern double g_perspective[4];

// Formats arguments as the recordings do: comma separated, pointers and numbers as streamed.
template <typename... Values>
std::string Args(const Values&... args) {
    std::ostringstream out;
    [[maybe_unused]] const char* separator = "";
    ((out << separator << args, separator = ", "), ...);
    return out.str();
}

template <typename... Values>
void Record(const char* name, const Values&... args) {
    fake::g_calls.push_back({name, Args(args...)});
}

// Clears the fake, the stand-ins and the shell's globals back to their start values.
void ResetAll();

// "name(args)" for each recorded call, for readable comparisons.
std::vector<std::string> Trace();
std::string Call(const std::string& name, const std::string& args = "");
// True when `wanted` appears in `all` in this order, other entries allowed in between.
bool InOrder(const std::vector<std::string>& all, const std::vector<std::string>& wanted);

}  // namespace stand_in
