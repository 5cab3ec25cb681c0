// The backdrop: four textured walls around the volcano, without floor or ceiling.
#include <GL/gl.h>

#include "resources/textures.h"
#include "terrain/terrain.h"

namespace {

struct Corner {
    float x, y, z;
};

// Each wall is one strip; its corners carry the texture coordinates below, in this order,
// so every wall shows the whole texture once.
constexpr float WALL_TEX_COORDS[4][2] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};

constexpr Corner WALLS[4][4] = {
    {{428, 350, -512}, {-172, 350, -512}, {428, -350, -512}, {-172, -350, -512}},  // z = -512
    {{428, 350, -512}, {428, 350, 512}, {428, -350, -512}, {428, -350, 512}},      // x = 428
    {{428, 350, 512}, {-172, 350, 512}, {428, -350, 512}, {-172, -350, 512}},      // z = 512
    {{-172, 350, -512}, {-172, 350, 512}, {-172, -350, -512}, {-172, -350, 512}},  // x = -172
};

}  // namespace

void DrawBackdrop() {
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, g_texAll.textureName);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (const auto& wall : WALLS) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int k = 0; k < 4; ++k) {
            glTexCoord2f(WALL_TEX_COORDS[k][0], WALL_TEX_COORDS[k][1]);
            glVertex3f(wall[k].x, wall[k].y, wall[k].z);
        }
        glEnd();
    }
}
