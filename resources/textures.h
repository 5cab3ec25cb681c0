// textures.h - demo initialisation and the TGA texture loader.
//
// InitDemo() runs once between window creation and the message loop: it sizes the GL
// context to the client area, fills g_sinTable, imports the model, switches lighting on,
// creates g_quadric, loads the height map and the thirteen TGA images, and starts the music.
// LoadTgaTexture() reads one uncompressed 24- or 32-bit TGA file into a TextureImage and
// uploads it as a linearly filtered GL texture; anything else is refused silently.
//
// State: the thirteen g_tex* records, g_sinTable, g_quadric, g_hwnd, g_clientRect and the
// music objects, all written here once and read by the scenes.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct GLUquadric;

// One loaded TGA image and its GL texture. A record whose file failed keeps textureName 0.
struct TextureImage {
    uint8_t* pixels;        // R, G, B (, A) per pixel in file row order; malloc'd, never freed
    uint32_t bitsPerPixel;  // 24 or 32
    uint32_t width;
    uint32_t height;
    uint32_t textureName;   // 0 while no texture exists
};

bool LoadTgaTexture(TextureImage* image, const char* fileName);

extern TextureImage g_texGrass, g_texAll, g_texParticle, g_texMetal, g_texFish, g_texFishMetal,
    g_texIntro1, g_texIntro2, g_texCoder, g_texDesign, g_texQx, g_texMusic, g_texVokra;

extern HWND g_hwnd;            // the demo window, stored first thing by InitDemo
extern RECT g_clientRect;      // the client rectangle read once by InitDemo
extern float g_sinTable[256];  // sin(i * 3.141592654 / 128): one full turn in 256 steps
extern GLUquadric* g_quadric;  // the one quadric: smooth normals, texture coordinates on

int InitDemo(HWND window);
