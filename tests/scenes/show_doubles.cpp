// Stand-ins for the demo's other subsystems, as the scenes see them.
#include "tests/scenes/show_doubles.h"

#include <GL/glu.h>

#include <cmath>

#include "app/shell.h"
#include "platform/fake_platform.h"
#include "resources/textures.h"
#include "scenes/timeline.h"
#include "terrain/terrain.h"
#include "tests/support/gl_recorder.h"

TextureImage g_texGrass{nullptr, 24, 1, 1, GRASS}, g_texAll{nullptr, 24, 1, 1, ALL},
    g_texParticle{nullptr, 24, 1, 1, PARTICLE}, g_texMetal{nullptr, 24, 1, 1, METAL},
    g_texFish{nullptr, 24, 1, 1, FISH}, g_texFishMetal{nullptr, 24, 1, 1, FISH_METAL},
    g_texIntro1{nullptr, 24, 1, 1, INTRO1}, g_texIntro2{nullptr, 24, 1, 1, INTRO2},
    g_texCoder{nullptr, 24, 1, 1, CODER}, g_texDesign{nullptr, 24, 1, 1, DESIGN}, g_texQx{nullptr, 24, 1, 1, QX},
    g_texMusic{nullptr, 24, 1, 1, MUSIC}, g_texVokra{nullptr, 24, 1, 1, VOKRA};

namespace {
char quadricStandIn;

// The table as initialisation fills it: the angle from the decimal 3.141592654, in double.
struct SinTableFiller {
    SinTableFiller() {
        for (int i = 0; i < 256; ++i) g_sinTable[i] = float(std::sin(i * 3.141592654 / 128));
    }
};
}  // namespace

float g_sinTable[256];
static SinTableFiller sinTableFiller;
GLUquadric* g_quadric = reinterpret_cast<GLUquadric*>(&quadricStandIn);
HDC g_hdc = nullptr;

std::vector<RoutineCall> g_routineCalls;

void LogRoutineCall(const char* name) {
    g_routineCalls.push_back({name, g_frameCounter, g_wobbleIndex, glrec::Calls().size()});
}

void DrawBackdrop() { LogRoutineCall("DrawBackdrop"); }
void DrawTerrainFirstBand() { LogRoutineCall("DrawTerrainFirstBand"); }
void DrawParticles() { LogRoutineCall("DrawParticles"); }
void DrawTerrainSecondBand() { LogRoutineCall("DrawTerrainSecondBand"); }

void StartFromInitialisedState() {
    glrec::Reset();
    for (GLenum cap : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_COLOR_MATERIAL, GL_LIGHT0, GL_LIGHTING})
        glrec::SetEnabled(cap, true);
    glrec::SetBlendFunction(GL_SRC_ALPHA, GL_ONE);
    fake::Reset();
    g_hdc = fake::FakeDeviceContext();
    g_routineCalls.clear();
    g_demoClock = 0;
    g_frameCounter = 0;
    g_wobbleIndex = 0;
    g_wobble = 0;
}

double ClockAtFrame(int frames) {
    double clock = 0;
    for (int i = 0; i < frames; ++i) clock += 0.0007;
    return clock;
}

void GoToFrame(int frame, int wobbleIndex) {
    g_demoClock = ClockAtFrame(frame);
    g_frameCounter = frame;
    g_wobbleIndex = wobbleIndex;
    g_wobble = wobbleIndex == 0 ? 0.0f : g_sinTable[wobbleIndex] * 9;
}
