// The ground: the height field in two bands of rows, one triangle strip per cell, every
// vertex with its texture coordinate, all in immediate mode on every frame.
//
// A vertex costs the driver only a few stores, so the loop around the calls must cost less:
// each band first reads the heights it needs into a table laid out the way the strips walk
// it, in one pass over the map in memory order. Looking them up strip by strip instead
// walks the map across its rows, a cache line per vertex, which cost more than the calls.
#include <GL/gl.h>

#include "resources/textures.h"
#include "terrain/terrain.h"

namespace {

constexpr int GRID_CELLS = 257;  // cells per row; grid points run 0..257
constexpr int GRID_POINTS = GRID_CELLS + 1;

// Heights of grid points (x, z) at [z][x], for the rows of the band being drawn; rewritten by
// every band, so the ground always shows the map as it is now.
float g_rowHeights[GRID_POINTS][GRID_POINTS];

void SetGroundState() {
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, g_texGrass.textureName);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// Map row x - 1 holds grid column x along z, so z innermost reads the map in memory order.
void ReadHeights(int firstZ, int lastZ) {
    for (int x = 0; x < GRID_POINTS; ++x)
        for (int z = firstZ; z <= lastZ; ++z) g_rowHeights[z][x] = HeightOfEntry(g_heightMap[HeightMapIndex(x, z)]);
}

// TerrainTexCoord's call, in a form the band loop can have inlined.
inline void SendTexCoord(float x, float z) { glTexCoord2f(x / 512.0f, -z / 512.0f); }

// Rows firstRow..lastRow inclusive; each cell is its own strip of two triangles.
void DrawGroundRows(int firstRow, int lastRow) {
    SetGroundState();
    ReadHeights(firstRow, lastRow + 1);
    for (int i = firstRow; i <= lastRow; ++i) {
        const float* nearRow = g_rowHeights[i];
        const float* farRow = g_rowHeights[i + 1];
        const float z = float(i), nextZ = float(i + 1);
        for (int j = 0; j < GRID_CELLS; ++j) {
            const float x = float(j), nextX = float(j + 1);
            glBegin(GL_TRIANGLE_STRIP);
            SendTexCoord(x, z);
            glVertex3f(x, nearRow[j], z);
            SendTexCoord(nextX, z);
            glVertex3f(nextX, nearRow[j + 1], z);
            SendTexCoord(x, nextZ);
            glVertex3f(x, farRow[j], nextZ);
            SendTexCoord(nextX, nextZ);
            glVertex3f(nextX, farRow[j + 1], nextZ);
            glEnd();
        }
    }
}

}  // namespace

void TerrainTexCoord(float x, float z) { SendTexCoord(x, z); }

// Rows 0..75 and 75..256: row 75 belongs to both bands, so it is drawn twice per frame.
void DrawTerrainFirstBand() { DrawGroundRows(0, 75); }

void DrawTerrainSecondBand() { DrawGroundRows(75, 256); }
