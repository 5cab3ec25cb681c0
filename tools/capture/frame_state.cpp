// The show's state read from the demo's variables and the GL context, and its text form.
#include "tools/capture/frame_state.h"

#include <GL/gl.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "scenes/timeline.h"
#include "terrain/terrain.h"

namespace {

std::vector<double> Floats(GLenum name, int count) {
    auto values = std::vector<GLfloat>(std::size_t(count));
    glGetFloatv(name, values.data());
    return {values.begin(), values.end()};
}

std::vector<double> Integers(GLenum name, int count = 1) {
    auto values = std::vector<GLint>(std::size_t(count));
    glGetIntegerv(name, values.data());
    return {values.begin(), values.end()};
}

// FNV-1a: any change to any byte of the particles changes it.
uint64_t Hash(const void* bytes, std::size_t size) {
    uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<const uint8_t*>(bytes)[i]) * 1099511628211ull;
    return hash;
}

}  // namespace

FrameState ReadFrameState() {
    FrameState state;
    state["clock"] = {g_demoClock};
    state["counter"] = {double(g_frameCounter)};
    state["wobble index"] = {double(g_wobbleIndex)};
    state["wobble"] = {double(g_wobble)};
    uint64_t particles = Hash(g_particles, sizeof g_particles);
    state["particles"] = {double(particles >> 32), double(particles & 0xffffffffu)};
    state["randoms drawn"] = {double(ParticleRandomsDrawn())};
    const std::pair<const char*, GLenum> enables[] = {
        {"texturing", GL_TEXTURE_2D}, {"depth test", GL_DEPTH_TEST}, {"blending", GL_BLEND},
        {"lighting", GL_LIGHTING},    {"light 0", GL_LIGHT0},        {"colour material", GL_COLOR_MATERIAL},
        {"gen S", GL_TEXTURE_GEN_S},  {"gen T", GL_TEXTURE_GEN_T},   {"culling", GL_CULL_FACE},
        {"scissor", GL_SCISSOR_TEST}};
    for (auto [name, capability] : enables) state[name] = {double(glIsEnabled(capability))};
    state["blend function"] = {Integers(GL_BLEND_SRC)[0], Integers(GL_BLEND_DST)[0]};
    state["depth function"] = Integers(GL_DEPTH_FUNC);
    state["texture bound"] = Integers(GL_TEXTURE_BINDING_2D);
    state["colour"] = Floats(GL_CURRENT_COLOR, 4);
    state["normal"] = Floats(GL_CURRENT_NORMAL, 3);
    state["texture coordinate"] = Floats(GL_CURRENT_TEXTURE_COORDS, 4);
    state["matrix mode"] = Integers(GL_MATRIX_MODE);
    state["model-view"] = Floats(GL_MODELVIEW_MATRIX, 16);
    state["projection"] = Floats(GL_PROJECTION_MATRIX, 16);
    state["viewport"] = Integers(GL_VIEWPORT, 4);
    state["scissor box"] = Integers(GL_SCISSOR_BOX, 4);
    state["shading"] = Integers(GL_SHADE_MODEL);
    state["error"] = {double(glGetError())};
    return state;
}

std::string FrameStateText(const FrameState& state) {
    std::string text;
    char number[64];
    for (const auto& [name, values] : state) {
        text += name + "\t";
        for (std::size_t i = 0; i < values.size(); ++i) {
            std::snprintf(number, sizeof number, "%s%a", i ? " " : "", values[i]);
            text += number;
        }
        text += "\n";
    }
    return text;
}

bool ParseFrameState(const std::string& text, FrameState* state) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0) return false;
        std::vector<double> values;
        const char* at = line.c_str() + tab + 1;
        while (true) {
            // strtod would skip blanks: a value must start right after its single space.
            if (*at == '\0' || std::isspace(static_cast<unsigned char>(*at))) return false;
            char* end = nullptr;
            values.push_back(std::strtod(at, &end));
            if (end == at || (*end && *end != ' ')) return false;
            if (!*end) break;
            at = end + 1;
        }
        (*state)[line.substr(0, tab)] = values;
    }
    return true;
}

std::string FrameStateFileName(const std::string& directory, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.state", frame);
    return directory + "/" + name;
}

bool WriteFrameState(const std::string& path) {
    std::ofstream file(path);
    file << FrameStateText(ReadFrameState());
    file.close();
    return bool(file);
}

bool LoadFrameState(const std::string& path, FrameState* state) {
    std::ifstream file(path);
    if (!file) return false;
    std::stringstream text;
    text << file.rdbuf();
    return ParseFrameState(text.str(), state);
}
