// The demo's initialisation without its last step, the music: the tool renders silently and
// must not need "musika.mp3" or an audio device. Keep the steps and their order in step with
// InitDemo; everything the frames depend on is made here exactly as there.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "app/shell.h"
#include "model3ds/model.h"
#include "resources/textures.h"
#include "terrain/terrain.h"
#include "tools/capture/capture.h"

void PrepareShowWithoutMusic(HWND window) {
    g_hwnd = window;
    GetClientRect(window, &g_clientRect);
    InitGraphics(g_clientRect.right, g_clientRect.bottom);
    for (int i = 0; i < 256; ++i) g_sinTable[i] = float(std::sin(i * 3.141592654 / 128));
    LoadModel("dinos.3ds");
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    g_quadric = gluNewQuadric();
    gluQuadricNormals(g_quadric, GLU_SMOOTH);
    gluQuadricTexture(g_quadric, GL_TRUE);
    LoadHeightMap();
    const struct {
        TextureImage* image;
        const char* file;
    } images[] = {
        {&g_texGrass, "grasmap.TGA"}, {&g_texAll, "all.TGA"},       {&g_texParticle, "part.TGA"},
        {&g_texMetal, "metal.TGA"},   {&g_texFish, "fish.TGA"},     {&g_texFishMetal, "fishmet.TGA"},
        {&g_texIntro1, "INTRO1.TGA"}, {&g_texIntro2, "INTRO2.TGA"}, {&g_texCoder, "coder.TGA"},
        {&g_texDesign, "design.TGA"}, {&g_texQx, "qx.TGA"},         {&g_texMusic, "music.TGA"},
        {&g_texVokra, "vokra.TGA"},
    };
    for (const auto& entry : images) LoadTgaTexture(entry.image, entry.file);
}
