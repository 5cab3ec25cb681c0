// gl_lines.h - the terrain tests' view of the GL recorder: expected lines built the way the
// recorder prints them, and the recorded vertices and colours read back as numbers.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/gl_recorder.h"

// "glVertex3f(5, 20, 0)": a call with float arguments, as the recorder writes it.
inline std::string Line(const char* name, std::initializer_list<float> floats) {
    std::string text = std::string(name) + "(";
    const char* separator = "";
    for (float value : floats) {
        text += separator + glrec::Float(value);
        separator = ", ";
    }
    return text + ")";
}

// The arguments of a recorded call with float arguments.
inline std::vector<float> Floats(const glrec::Call& call) {
    std::vector<float> values;
    const char* text = call.args.c_str();
    char* end = nullptr;
    for (float value = std::strtof(text, &end); end != text; value = std::strtof(text, &end)) {
        values.push_back(value);
        text = end;
        while (*text == ',' || *text == ' ') ++text;
    }
    return values;
}

struct GlVertex {
    float x, y, z, s, t;
    bool operator==(const GlVertex&) const = default;
};

// Every glVertex3f of calls [first, last), with the texture coordinate current when it was sent.
inline std::vector<GlVertex> RecordedVertices(size_t first = 0, size_t last = size_t(-1)) {
    const std::vector<glrec::Call>& calls = glrec::Calls();
    std::vector<GlVertex> vertices;
    float s = 0, t = 0;
    for (size_t k = first; k < calls.size() && k < last; ++k) {
        if (calls[k].name == "glTexCoord2f") {
            std::vector<float> st = Floats(calls[k]);
            s = st[0];
            t = st[1];
        } else if (calls[k].name == "glVertex3f") {
            std::vector<float> v = Floats(calls[k]);
            vertices.push_back({v[0], v[1], v[2], s, t});
        }
    }
    return vertices;
}
