// gl_recorder.h - a GL stand-in for tests that check which GL calls a routine makes: link
// gl_recorder.cpp instead of libGL, and every texture call is appended to g_glCalls.
#pragma once

#include <string>
#include <vector>

struct GlCall {
    std::string name;
    std::string args;  // comma separated, enums and integers in decimal, floats with one decimal
};

extern std::vector<GlCall> g_glCalls;
extern const void* g_lastTexImagePixels;  // the data pointer of the last glTexImage2D
