// The ground: the height field in two bands of rows, one triangle strip per cell, every
// vertex with its texture coordinate, all in immediate mode on every frame.
#include <GL/gl.h>

#include "resources/textures.h"
#include "terrain/terrain.h"

namespace {

constexpr int GRID_CELLS = 257;  // cells per row; grid points run 0..257

void SetGroundState() {
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, g_texGrass.textureName);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void GroundVertex(int x, int z) {
    TerrainTexCoord(float(x), float(z));
    glVertex3f(float(x), TerrainHeight(x, z), float(z));
}

// Rows firstRow..lastRow inclusive; each cell is its own strip of two triangles.
void DrawGroundRows(int firstRow, int lastRow) {
    SetGroundState();
    for (int i = firstRow; i <= lastRow; ++i) {
        for (int j = 0; j < GRID_CELLS; ++j) {
            glBegin(GL_TRIANGLE_STRIP);
            GroundVertex(j, i);
            GroundVertex(j + 1, i);
            GroundVertex(j, i + 1);
            GroundVertex(j + 1, i + 1);
            glEnd();
        }
    }
}

}  // namespace

void TerrainTexCoord(float x, float z) {
    glTexCoord2f(x / 512.0f, -z / 512.0f);
}

// Rows 0..75 and 75..256: row 75 belongs to both bands, so it is drawn twice per frame.
void DrawTerrainFirstBand() { DrawGroundRows(0, 75); }

void DrawTerrainSecondBand() { DrawGroundRows(75, 256); }
