// gl_calls.h - a recording stand-in for the few GL 1.1 entry points the terrain draws with.
//
// Link gl_calls.cpp instead of libGL: every call appends a GlCall with its name and its
// arguments as doubles (floats, enums and names all convert exactly), so tests compare
// the exact stream the driver would receive.
#pragma once

#include <string>
#include <vector>

struct GlCall {
    std::string name;
    std::vector<double> args;
    bool operator==(const GlCall&) const = default;
};

extern std::vector<GlCall> g_glCalls;

// The vertices (x, y, z), texture coordinates (s, t) and colours (r, g, b, a) sent, in order.
struct GlVertex {
    double x, y, z, s, t;
    bool operator==(const GlVertex&) const = default;
};
// Every glVertex3f with the texture coordinate current when it was sent.
std::vector<GlVertex> RecordedVertices();
// The recorded calls named `name`, in order.
std::vector<GlCall> RecordedCalls(const std::string& name);
