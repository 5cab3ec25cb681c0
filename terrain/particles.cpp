// The lava fountain: 3000 additively blended red sprites, advanced one step and drawn once
// per call. Each step is computed in double precision and stored as float.
#include <GL/gl.h>


#include "resources/textures.h"
#include "terrain/terrain.h"

Particle g_particles[PARTICLE_COUNT];

namespace {

void Spawn(Particle& p) {
    p.progress = 0;
    p.fall = 0;
    p.speed = float(double(NextParticleRandom() % 400) / 1000 + double(0.04f));
    p.drift = float(double(NextParticleRandom() % 14) / 10);
    p.z = float(double(NextParticleRandom() % 25) / 10);
    p.life = 1;
    p.kind = NextParticleRandom() % 3;
    p.fade = float(double(NextParticleRandom() % 100) / 1000 + 0.0015);
    if (p.kind > 1) p.drift = float(0 - double(p.drift));
}

void Advance(Particle& p) {
    p.fall = float(double(p.fall) + double(p.progress) * 0.015);  // the old progress
    p.progress = float(double(p.progress) + double(p.speed));
    p.life = float(double(p.life) - double(p.fade));
    p.x = float(-double(p.drift) * double(p.progress));
    p.y = float(2 * double(p.progress) - double(p.fall));
}

// A 1 x 1 square facing the terrain frame's +z, red with alpha = life.
void DrawSprite(const Particle& p) {
    glColor4f(1.0f, 0.0f, 0.0f, p.life);
    const float left = float(double(p.x) - 0.5), right = float(double(p.x) + 0.5);
    const float bottom = float(double(p.y) - 0.5), top = float(double(p.y) + 0.5);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(right, top, p.z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(left, top, p.z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(right, bottom, p.z);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(left, bottom, p.z);
    glEnd();
}

}  // namespace

void DrawParticles() {
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, g_texParticle.textureName);
    glPushMatrix();
    glTranslatef(128.0f, 17.0f, 80.0f);  // the emitter
    for (Particle& p : g_particles) {
        Advance(p);
        // Drawn even on the frame its life runs out (the blend makes alpha <= 0 invisible),
        // then respawned.
        DrawSprite(p);
        if (p.life <= 0) Spawn(p);
    }
    glPopMatrix();
}
