// The recording neighbours of the shell and its GL/GLU entry points.
#include "tests/shell/stand_ins.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "app/keep_time.h"
#include "app/options.h"
#include "app/shell.h"
#include "model3ds/model.h"
#include "resources/textures.h"
#include "scenes/timeline.h"

HWND g_hwnd = nullptr;
RECT g_clientRect = {};
bool g_musicWanted = true;
uint32_t g_musicStartMilliseconds = 0;

namespace stand_in {

std::function<void(int)> g_afterFrame;
int g_framesDrawn = 0;
int g_showEndsAfter = 1 << 30;
double g_musicSeconds = -1;
double g_perspective[4] = {};

namespace {
std::string Hex(unsigned value) {
    std::ostringstream out;
    out << "0x" << std::hex << value;
    return out.str();
}
}  // namespace

void ResetAll() {
    fake::Reset();
    g_afterFrame = nullptr;
    g_framesDrawn = 0;
    for (double& v : g_perspective) v = 0;
    g_fullScreen = true;
    g_hInstance = nullptr;
    g_hdc = nullptr;
    g_hglrc = nullptr;
    g_lighting = true;
    g_hwnd = nullptr;
    g_clientRect = {};
    g_musicWanted = true;
    g_musicStartMilliseconds = 0;
    g_options = DemoOptions{};
    g_desktopFullScreen = false;
    g_showEndsAfter = 1 << 30;
    g_musicSeconds = -1;
    g_frameCounter = 0;
    RestartFramePacing();
    RestartKeepingTime();
    g_showTimeSource = REAL_SHOW_TIME;
}

std::vector<std::string> Trace() {
    std::vector<std::string> trace;
    for (const fake::Call& call : fake::g_calls) trace.push_back(Call(call.name, call.args));
    return trace;
}

std::string Call(const std::string& name, const std::string& args) { return name + "(" + args + ")"; }

bool InOrder(const std::vector<std::string>& all, const std::vector<std::string>& wanted) {
    size_t next = 0;
    for (const std::string& entry : all)
        if (next < wanted.size() && entry == wanted[next]) ++next;
    return next == wanted.size();
}

}  // namespace stand_in

using stand_in::Hex;
using stand_in::Record;

// Demo initialisation as far as the shell depends on it: the window and the context.
int InitDemo(HWND window) {
    Record("InitDemo");
    g_hwnd = window;
    GetClientRect(window, &g_clientRect);
    InitGraphics(g_clientRect.right, g_clientRect.bottom);
    return 0;
}

int32_t g_frameCounter = 0;

int DrawFrame() {
    Record("DrawFrame");
    ++g_frameCounter;
    ++stand_in::g_framesDrawn;
    if (stand_in::g_afterFrame) stand_in::g_afterFrame(stand_in::g_framesDrawn);
    return TRUE;
}

void ReleaseModel() { Record("ReleaseModel"); }

// The show as far as the command line reaches it: the shell only decides when to call these.
bool ShowHasEnded() { return g_frameCounter >= stand_in::g_showEndsAfter; }
int ShowEndFrame() { return stand_in::g_showEndsAfter; }
void StepShowOver(int frames) {
    Record("StepShowOver", frames);
    g_frameCounter += frames;
}
double MusicPositionSeconds() { return stand_in::g_musicSeconds; }
void KeepShowStartState() { Record("KeepShowStartState"); }
void FastForwardShow(int frame) { Record("FastForwardShow", frame); }
void RestartShow() {
    Record("RestartShow");
    stand_in::g_framesDrawn = 0;
    g_frameCounter = 0;
}
void RestartMusic() { Record("RestartMusic"); }

extern "C" {
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) { Record("glViewport", x, y, width, height); }
void glEnable(GLenum cap) { Record("glEnable", Hex(cap)); }
void glDisable(GLenum cap) { Record("glDisable", Hex(cap)); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { Record("glClearColor", r, g, b, a); }
void glClearDepth(GLclampd depth) { Record("glClearDepth", depth); }
void glHint(GLenum target, GLenum mode) { Record("glHint", Hex(target), Hex(mode)); }
void glShadeModel(GLenum mode) { Record("glShadeModel", Hex(mode)); }
void glTexGeni(GLenum coord, GLenum name, GLint value) { Record("glTexGeni", Hex(coord), Hex(name), Hex(value)); }
void glMatrixMode(GLenum mode) { Record("glMatrixMode", Hex(mode)); }
void glLoadIdentity() { Record("glLoadIdentity"); }
void glBlendFunc(GLenum source, GLenum destination) { Record("glBlendFunc", Hex(source), Hex(destination)); }
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    Record("gluPerspective", fovy, aspect, zNear, zFar);
    double* p = stand_in::g_perspective;
    p[0] = fovy, p[1] = aspect, p[2] = zNear, p[3] = zFar;
}
}
