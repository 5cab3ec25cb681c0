// The recorder is what every scene test trusts, so its lines and its state model are pinned
// down here against what GL itself would print and do.
#include "tests/support/gl_recorder.h"

#include <GL/glu.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using testing::ElementsAre;

namespace {

struct LineCase {
    const char* expected;
    std::function<void()> call;
};

TEST(GlRecorder, PrintsEachCallAsOneReadableLine) {
    static GLUquadric* const quadric = gluNewQuadric();
    const LineCase cases[] = {
        {"glVertex3f(5, 5, 0)", [] { glVertex3f(5, 5, 0); }},
        {"glVertex3f(-5, 0.100000001, 1.00000002e+20)", [] { glVertex3f(-5, 0.1f, 1e20f); }},
        {"glEnable(GL_BLEND)", [] { glEnable(GL_BLEND); }},
        {"glDisable(GL_TEXTURE_GEN_T)", [] { glDisable(GL_TEXTURE_GEN_T); }},
        {"glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)", [] { glClear(0x4100); }},
        {"glBegin(GL_TRIANGLE_STRIP)", [] { glBegin(GL_TRIANGLE_STRIP); }},
        {"glBlendFunc(GL_SRC_ALPHA, GL_ONE)", [] { glBlendFunc(GL_SRC_ALPHA, GL_ONE); }},
        {"glBindTexture(GL_TEXTURE_2D, 7)", [] { glBindTexture(GL_TEXTURE_2D, 7); }},
        {"glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP)",
         [] { glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP); }},
        {"glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR)",
         [] { glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR); }},
        {"glTexImage2D(GL_TEXTURE_2D, 0, 3, 64, 32, 0, GL_RGB, GL_UNSIGNED_BYTE, null)",
         [] { glTexImage2D(GL_TEXTURE_2D, 0, 3, 64, 32, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr); }},
        {"glColor3ub(255, 0, 12)", [] { glColor3ub(255, 0, 12); }},
        {"glClearDepth(1)", [] { glClearDepth(1.0); }},
        {"gluCylinder(ptr, 0.20000000298023224, 0.20000000298023224, 2, 32, 32)",
         [] { gluCylinder(quadric, 0.2f, 0.2f, 2, 32, 32); }},
        {"gluQuadricNormals(ptr, GLU_SMOOTH)", [] { gluQuadricNormals(quadric, GLU_SMOOTH); }},
        {"gluQuadricTexture(ptr, GL_TRUE)", [] { gluQuadricTexture(quadric, GL_TRUE); }},
        {"glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST)",
         [] { glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST); }},
        {"glEnable(0x1234)", [] { glEnable(0x1234); }},
    };
    for (const LineCase& c : cases) {
        glrec::Reset();
        c.call();
        ASSERT_EQ(glrec::Calls().size(), 1u);
        EXPECT_EQ(glrec::Calls()[0].text, c.expected);
    }
}

TEST(GlRecorder, FloatsPrintedRoundTrip) {
    for (float value : {0.016f * 2858, 1.0f / 3, -0.2199f, 1e-7f, 123456.789f}) {
        EXPECT_EQ(std::strtof(glrec::Float(value).c_str(), nullptr), value) << glrec::Float(value);
    }
    for (double value : {0.0007 * 3, 0.2, double(0.65f)})
        EXPECT_EQ(std::strtod(glrec::Double(value).c_str(), nullptr), value);
}

TEST(GlRecorder, EnablesAndBindingsFollowTheCalls) {
    glrec::Reset();
    EXPECT_FALSE(glrec::IsEnabled(GL_BLEND));
    EXPECT_TRUE(glrec::IsEnabled(GL_DITHER));  // GL's one capability on at start
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_2D, 4);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_FALSE);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 4);
    glColor4f(1, 0.5f, 0.25f, 0.125f);
    GLfloat color[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_THAT(color, ElementsAre(1, 0.5f, 0.25f, 0.125f));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(GlRecorder, MatricesComposeLikeGl) {
    glrec::Reset();
    glTranslatef(0, 0, -6);
    glRotatef(90, 0, 1, 0);  // +z of the new frame is +x of the old one
    glrec::Vec4 tip = glrec::Transform(glrec::ModelView(), 0, 0, 2);
    EXPECT_NEAR(tip[0], 2, 1e-6);
    EXPECT_NEAR(tip[1], 0, 1e-6);
    EXPECT_NEAR(tip[2], -6, 1e-6);
    glPushMatrix();
    glTranslatef(1, 2, 3);
    EXPECT_EQ(glrec::StackDepth(GL_MODELVIEW), 2);
    glPopMatrix();
    EXPECT_EQ(glrec::Transform(glrec::ModelView(), 0, 0, 2), tip);
    glPopMatrix();
    EXPECT_EQ(glGetError(), GLenum(GL_STACK_UNDERFLOW));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(GlRecorder, RefusesStateChangesBetweenBeginAndEnd) {
    glrec::Reset();
    glBegin(GL_TRIANGLES);
    glEnable(GL_BLEND);
    glEnd();
    EXPECT_FALSE(glrec::IsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_OPERATION));
}

TEST(GlRecorder, FindsSequencesAndCanStopRecording) {
    glrec::Reset();
    glEnable(GL_BLEND);
    glLoadIdentity();
    glDisable(GL_BLEND);
    EXPECT_EQ(glrec::Find({"glLoadIdentity()", "glDisable(GL_BLEND)"}), 1);
    EXPECT_EQ(glrec::Find({"glEnable(GL_BLEND)", "glDisable(GL_BLEND)"}), -1);
    EXPECT_TRUE(glrec::ContainsInOrder({"glEnable(GL_BLEND)", "glDisable(GL_BLEND)"}));
    EXPECT_FALSE(glrec::ContainsInOrder({"glDisable(GL_BLEND)", "glEnable(GL_BLEND)"}));
    glrec::SetRecording(false);
    glEnable(GL_LIGHTING);
    EXPECT_EQ(glrec::Calls().size(), 3u);
    EXPECT_TRUE(glrec::IsEnabled(GL_LIGHTING));
}

}  // namespace
