// init_demo.cpp - the one-time start-up of the show, between the window and the message loop.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "app/shell.h"
#include "model3ds/model.h"
#include "resources/demo_images.h"
#include "resources/textures.h"
#include "terrain/terrain.h"

TextureImage g_texGrass, g_texAll, g_texParticle, g_texMetal, g_texFish, g_texFishMetal, g_texIntro1, g_texIntro2,
    g_texCoder, g_texDesign, g_texQx, g_texMusic, g_texVokra;

HWND g_hwnd;
RECT g_clientRect;
float g_sinTable[256];
GLUquadric* g_quadric;

namespace {

// Not the double nearest to pi: the table's entry 128 is about -4.1e-10, not 0.
constexpr double SIN_TABLE_PI = 3.141592654;
constexpr int SIN_TABLE_SIZE = 256;

struct TextureFile {
    TextureImage* image;
    const char* fileName;
};

// Loaded in this order; each file is opened by bare name from the working directory.
#define DEMO_TEXTURE(id, record, file) {&record, file},
const TextureFile DEMO_TEXTURES[] = {DEMO_IMAGES(DEMO_TEXTURE)};
#undef DEMO_TEXTURE

void SwitchOnLighting() {
    // Light 0 keeps the library's defaults: no light parameter is set anywhere in the demo.
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
}

void CreateQuadric() {
    g_quadric = gluNewQuadric();
    gluQuadricNormals(g_quadric, GLU_SMOOTH);
    gluQuadricTexture(g_quadric, GL_TRUE);
}

}  // namespace

void FillSinTable() {
    for (int i = 0; i < SIN_TABLE_SIZE; ++i) g_sinTable[i] = float(std::sin(i * SIN_TABLE_PI / (SIN_TABLE_SIZE / 2)));
}

void LoadDemoTextures() {
    // A missing or unreadable image leaves its record without texture; the show goes on.
    for (const TextureFile& texture : DEMO_TEXTURES) LoadTgaTexture(texture.image, texture.fileName);
}

int InitDemo(HWND window) {
    g_hwnd = window;
    GetClientRect(window, &g_clientRect);
    InitGraphics(g_clientRect.right, g_clientRect.bottom);
    FillSinTable();
    // A missing model file is reported and the show goes on without it; a missing picture of
    // one of its materials ends the process here, before anything later is loaded.
    LoadModel("dinos.3ds");
    SwitchOnLighting();
    CreateQuadric();
    LoadHeightMap();
    LoadDemoTextures();
    if (g_musicWanted) StartMusic();
    // The demo has no console: the read returns -1 at once and initialisation never waits.
    return _getch();
}
