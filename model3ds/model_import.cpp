// LoadModel and CreateBmpTexture: the model file into g_model, its pictures into textures.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <type_traits>

#include "model3ds/model.h"
#include "resources/bmp.h"

static_assert(std::is_same_v<GLuint, uint32_t>, "the texture table holds GL texture names");

uint32_t g_modelTextures[MODEL_TEXTURE_SLOTS];

namespace {

constexpr GLint RGB_COMPONENTS = 3;

void BuildMipmappedTexture(GLuint name, const RgbImage& image) {
    // The picture's rows are packed; left at 1 for the rest of the run.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, RGB_COMPONENTS, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, image.data);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

}  // namespace

void CreateBmpTexture(uint32_t* table, const char* fileName, int32_t slot) {
    if (!fileName || slot < 0 || slot >= MODEL_TEXTURE_SLOTS) return;
    RgbImage* image = LoadBmpImage(fileName);
    if (!image) {
        // The reader has shown its message; the demo does not start without the model's
        // pictures. The loop that would free the model's arrays never runs: free them here.
        ReleaseModel();
        std::exit(0);
    }
    glGenTextures(1, &table[slot]);
    BuildMipmappedTexture(table[slot], *image);
    std::free(image->data);
    std::free(image);
}

void LoadModel(const char* path) {
    // A failed import has shown its message and left the model empty: no materials to walk.
    g_modelLoader.Import(g_model, path);
    for (int32_t i = 0; i < g_model.materialCount; ++i) {
        const Material& material = g_model.materials[size_t(i)];
        if (material.textureFile[0] != '\0' && i < MODEL_TEXTURE_SLOTS)
            CreateBmpTexture(g_modelTextures, material.textureFile, i);
    }
}
