// The intro and credits images: one textured square, an image picked by the frame clock.
#include <GL/gl.h>

#include <cstddef>

#include "resources/textures.h"
#include "scenes/timeline.h"

namespace {

// An image and the open clock interval in which it is shown.
struct TimedImage {
    double lower;
    double upper;
    const TextureImage* image;
};

const TimedImage INTRO_IMAGES[] = {
    {0.0, 1.0, &g_texFish},
    {1.0, 1.5, &g_texIntro1},
    {1.5, 2.0, &g_texIntro2},
};

#define CREDITS_CARD(lower, upper, image) {lower, upper, &image},
const TimedImage CREDITS_IMAGES[] = {CREDITS_CARDS(CREDITS_CARD)};
#undef CREDITS_CARD

// Binds the image whose interval holds the clock; false (nothing bound) when none does.
template <std::size_t N>
bool BindImageForClock(const TimedImage (&images)[N]) {
    for (const TimedImage& timed : images)
        if (timed.lower < g_demoClock && g_demoClock < timed.upper) {
            glBindTexture(GL_TEXTURE_2D, timed.image->textureName);
            return true;
        }
    return false;
}

}  // namespace

void DrawImageSquare() {
    glColor4f(1, 1, 1, 1);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1, 1);
    glVertex3f(5, 5, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-5, 5, 0);
    glTexCoord2f(1, 0);
    glVertex3f(5, -5, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-5, -5, 0);
    glEnd();
}

void DrawIntroImage() {
    glLoadIdentity();
    glTranslatef(0, 0, -9);
    StepIntroImage();
    // Outside the three intervals the square shows whatever is bound: inside the overlay
    // scene that is the fish, which the overlay binds last in every frame.
    BindImageForClock(INTRO_IMAGES);
    DrawImageSquare();
}

// The intro does not read the wobble; stepping it sets the phase the overlay starts with.
void StepIntroImage() { AdvanceWobble(); }

void DrawCredits() {
    glLoadIdentity();
    glTranslatef(0, 0, -8);
    glEnable(GL_BLEND);
    if (BindImageForClock(CREDITS_IMAGES)) DrawImageSquare();
}
