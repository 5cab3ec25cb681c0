// The lava fountain drawn: every particle moved one step and drawn as an additively blended
// red sprite, once per call.
#include <GL/gl.h>

#include "resources/textures.h"
#include "terrain/terrain.h"

namespace {

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
        AdvanceParticle(p);
        // Drawn even on the frame its life runs out (the blend makes alpha <= 0 invisible),
        // then respawned.
        DrawSprite(p);
        RespawnIfSpent(p);
    }
    glPopMatrix();
}
