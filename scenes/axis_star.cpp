// The spinning axis star: rods, cones and a sphere of the one quadric, sphere-mapped.
#include <GL/gl.h>
#include <GL/glu.h>

#include "resources/textures.h"
#include "scenes/timeline.h"

namespace {

// Single-precision radii, widened to double for GLU as the show always drew them.
constexpr float ROD_RADIUS = 0.2f;
constexpr float SPHERE_RADIUS = 0.65f;

// A rod runs from the current origin 2 units along z; a cone's base sits at the origin.
void DrawRod() { gluCylinder(g_quadric, ROD_RADIUS, ROD_RADIUS, 2, 32, 32); }
void DrawCone() { gluCylinder(g_quadric, 0.5, 0, 1, 32, 32); }

}  // namespace

void DrawStarScene() {
    DrawOverlay();
    DrawAxisStar();
}

void StepStarScene() { StepOverlay(); }

void DrawAxisStar() {
    glColor4f(1, 1, 1, 1);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glBindTexture(GL_TEXTURE_2D, g_texFishMetal.textureName);
    glDisable(GL_BLEND);
    glLoadIdentity();
    glTranslatef(0, 0, -6);
    glRotatef(float(g_frameCounter), 1, 1, 1);

    // Each move acts on the frame the one before left: the parts are reached by a walk of
    // turns and steps, not placed one by one from the centre.
    glRotatef(90, 0, 1, 0);
    DrawRod();  // +x
    glRotatef(180, 0, 1, 0);
    DrawRod();  // -x
    glRotatef(90, 1, 0, 0);
    DrawRod();  // -y
    glRotatef(180, 0, 0, 1);
    glRotatef(180, 1, 1, 0);
    DrawRod();  // +y
    glTranslatef(0, -1.5f, 0);
    glRotatef(90, 1, 0, 0);
    for (int i = 0; i < 3; ++i) {  // cones on +z, +y, -z
        DrawCone();
        glTranslatef(0, 1.5f, -1.5f);
        glRotatef(270, 1, 0, 0);
    }
    DrawCone();  // -y
    glTranslatef(1.5f, 0, -1.5f);
    glRotatef(90, 0, 1, 0);
    DrawCone();  // +x
    glTranslatef(0, 0, -3);
    glRotatef(180, 0, 1, 0);
    DrawCone();  // -x
    glTranslatef(0, 0, -1.5f);
    glRotatef(90, 1, 0, 0);
    DrawRod();  // -z
    glRotatef(180, 1, 0, 0);
    DrawRod();  // +z
    gluSphere(g_quadric, SPHERE_RADIUS, 20, 20);

    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
}
