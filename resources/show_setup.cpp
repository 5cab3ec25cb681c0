// What the show needs on its GL context besides the fixed state: the sine table, the model,
// lighting, the quadric, the height map and the images. Apart from InitDemo, which adds the
// window, the context and the music, so that a program with no window or sound (the benchmark
// of our GL over a stub driver) loads the show exactly as the demo does.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "model3ds/model.h"
#include "resources/demo_images.h"
#include "resources/textures.h"
#include "terrain/terrain.h"

TextureImage g_texGrass, g_texAll, g_texParticle, g_texMetal, g_texFish, g_texFishMetal, g_texIntro1, g_texIntro2,
    g_texCoder, g_texDesign, g_texQx, g_texMusic, g_texVokra;

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

void SetUpShow() {
    FillSinTable();
    // A missing model file is reported and the show goes on without it; a missing picture of
    // one of its materials ends the process here, before anything later is loaded.
    LoadModel("dinos.3ds");
    SwitchOnLighting();
    CreateQuadric();
    LoadHeightMap();
    LoadDemoTextures();
}
