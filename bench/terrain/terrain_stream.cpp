// The terrain frame's calls from arrays filled beforehand.
#include "bench/terrain/terrain_stream.h"

#include <GL/gl.h>

#include <algorithm>
#include <iterator>

#include "resources/textures.h"

namespace {

Particle g_keptFountain[PARTICLE_COUNT];

// Every strip's corners carry these texture coordinates, walls and sprites alike.
constexpr float CORNER_ST[4][2] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};

void AddWalls(std::vector<TexturedVertex>& out) {
    const float walls[4][4][3] = {
        {{428, 350, -512}, {-172, 350, -512}, {428, -350, -512}, {-172, -350, -512}},
        {{428, 350, -512}, {428, 350, 512}, {428, -350, -512}, {428, -350, 512}},
        {{428, 350, 512}, {-172, 350, 512}, {428, -350, 512}, {-172, -350, 512}},
        {{-172, 350, -512}, {-172, 350, 512}, {-172, -350, -512}, {-172, -350, 512}},
    };
    for (const auto& wall : walls)
        for (int k = 0; k < 4; ++k)
            out.push_back({CORNER_ST[k][0], CORNER_ST[k][1], wall[k][0], wall[k][1], wall[k][2]});
}

void AddRows(std::vector<TexturedVertex>& out, int firstRow, int lastRow) {
    for (int i = firstRow; i <= lastRow; ++i)
        for (int j = 0; j < 257; ++j) {
            const int corners[4][2] = {{j, i}, {j + 1, i}, {j, i + 1}, {j + 1, i + 1}};
            for (const auto& [x, z] : corners)
                out.push_back({float(x) / 512, -float(z) / 512, float(x), TerrainHeight(x, z), float(z)});
        }
}

void AddSprite(TerrainStream& stream, const Particle& p) {
    const float left = float(double(p.x) - 0.5), right = float(double(p.x) + 0.5);
    const float bottom = float(double(p.y) - 0.5), top = float(double(p.y) + 0.5);
    const float corners[4][2] = {{right, top}, {left, top}, {right, bottom}, {left, bottom}};
    stream.spriteAlpha.push_back(p.life);
    for (int k = 0; k < 4; ++k)
        stream.sprites.push_back({CORNER_ST[k][0], CORNER_ST[k][1], corners[k][0], corners[k][1], p.z});
}

void SendStrips(const std::vector<TexturedVertex>& vertices) {
    for (size_t k = 0; k < vertices.size(); k += 4) {
        glBegin(GL_TRIANGLE_STRIP);
        for (const TexturedVertex* v = &vertices[k]; v != &vertices[k] + 4; ++v) {
            glTexCoord2f(v->s, v->t);
            glVertex3f(v->x, v->y, v->z);
        }
        glEnd();
    }
}

void SendOpaque(GLuint texture, const std::vector<TexturedVertex>& vertices) {
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1, 1, 1, 1);
    SendStrips(vertices);
}

void SendSprites(const TerrainStream& stream) {
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, g_texParticle.textureName);
    glPushMatrix();
    glTranslatef(128, 17, 80);
    const TexturedVertex* v = stream.sprites.data();
    for (float alpha : stream.spriteAlpha) {
        glColor4f(1, 0, 0, alpha);
        glBegin(GL_TRIANGLE_STRIP);
        for (const TexturedVertex* end = v + 4; v != end; ++v) {
            glTexCoord2f(v->s, v->t);
            glVertex3f(v->x, v->y, v->z);
        }
        glEnd();
    }
    glPopMatrix();
}

}  // namespace

void SteadyFountain() {
    for (Particle& p : g_particles)
        if (double(p.life) - double(p.fade) <= 0) p.life = 1;
    std::copy(std::begin(g_particles), std::end(g_particles), g_keptFountain);
}

void RestoreFountain() { std::copy(std::begin(g_keptFountain), std::end(g_keptFountain), g_particles); }

TerrainStream PrecomputeTerrainStream() {
    TerrainStream stream;
    AddWalls(stream.walls);
    AddRows(stream.firstBand, 0, 75);
    AddRows(stream.secondBand, 75, 256);
    RestoreFountain();
    DrawParticles();  // nothing respawns, so every particle stays as it was drawn
    for (const Particle& p : g_particles) AddSprite(stream, p);
    RestoreFountain();
    return stream;
}

void SendTerrainStream(const TerrainStream& stream) {
    SendOpaque(g_texAll.textureName, stream.walls);
    SendOpaque(g_texGrass.textureName, stream.firstBand);
    SendSprites(stream);
    SendOpaque(g_texGrass.textureName, stream.secondBand);
}
