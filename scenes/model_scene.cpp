// The model in the metal tube: the 3DS model turning and bobbing inside a translucent cylinder.
#include <GL/gl.h>
#include <GL/glu.h>

#include "model3ds/model.h"
#include "resources/textures.h"
#include "scenes/timeline.h"

namespace {

constexpr double MODEL_DEPTH = -175;
constexpr double MODEL_HEIGHT = -50;     // where the model's origin sits when the wobble is 0
constexpr double WOBBLE_SWING_X = 5;     // the model sways by 5 x the wobble sideways...
constexpr double WOBBLE_SWING_Y = 4;     // ...and bobs by 4 x the wobble
constexpr double DEGREES_PER_FRAME = 2;  // the model's turn about its vertical axis

// The tube stands around the model from the model's y = 100 down to y = 0, no end caps.
constexpr float TUBE_TOP = 100;
constexpr double TUBE_RADIUS = 65;
constexpr double TUBE_LENGTH = 100;

void PlaceModel() {
    double w = g_wobble;
    glTranslatef(float(w * WOBBLE_SWING_X), float(w * WOBBLE_SWING_Y + MODEL_HEIGHT), float(MODEL_DEPTH));
    // Exact through the show (2 * n < 2^24 there); in double so no counter can overflow it.
    glRotatef(float(DEGREES_PER_FRAME * g_frameCounter), 0, 1, 0);
}

// The quadric's cylinder runs along its z axis; turned, it runs down the model's y axis.
void DrawTube() {
    glBindTexture(GL_TEXTURE_2D, g_texMetal.textureName);
    glTranslatef(0, TUBE_TOP, 0);
    glRotatef(90, 1, 0, 0);
    gluCylinder(g_quadric, TUBE_RADIUS, TUBE_RADIUS, TUBE_LENGTH, 32, 32);
}

}  // namespace

void StepModelScene() { AdvanceWobble(); }

void DrawModelScene() {
    // Off in every frame of the scene, and nothing later switches it back on.
    glDisable(GL_LIGHTING);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    StepModelScene();
    PlaceModel();
    glColor4f(1, 1, 1, 1);
    glDisable(GL_BLEND);
    DrawModel();
    // The tube adds its metal over the frame, hidden where the model stands in front of it.
    glEnable(GL_BLEND);
    DrawTube();
    glDisable(GL_DEPTH_TEST);
    // Left bound for the credits that follow (and for the model's untextured objects).
    glBindTexture(GL_TEXTURE_2D, g_texParticle.textureName);
}
