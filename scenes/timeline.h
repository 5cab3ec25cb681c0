// timeline.h - the show: the frame sequencer with its clock and wobble, and the scenes.
//
// The message loop calls DrawFrame() whenever no message waits. Each call clears the
// buffers, resets the model-view matrix, draws the one row of the scene table whose open
// interval holds g_demoClock, advances g_frameCounter by 1 and g_demoClock by 0.0007, and
// presents the frame with SwapBuffers(g_hdc) as its very last step:
//     row 1  0   < clock < 2    DrawIntroImage        fish, INTRO1, INTRO2
//     row 2  2   < clock < 3    DrawOverlayScene      two wobbling layers of the fish
//     row 3  3   < clock < 4.5  DrawStarScene         the layers under the axis star
//     row 4  4.5 < clock < 5    DrawTurningTerrainView
//     row 5  5   < clock < 5.5  DrawStillTerrainView
//     row 6  5.5 < clock < 6    DrawStarScene         again
//     row 7  6   < clock < 8    DrawModelScene        the model in the metal tube
//     row 8  8   < clock < 13   DrawCredits           five credits cards
// The bounds are written once, in show_plan.h. After 13 every frame shows only the cleared
// buffers. The clock counts frames, not time, so the show's pace follows the frame rate; a
// clock exactly on a bound fires no row.
//
// Scenes take no arguments, set the GL state they need and restore nothing: the state one
// frame leaves is where the next starts. Each routine below says what it leaves.
//
// State: g_demoClock and g_frameCounter (written only by DrawFrame and SkipFrame), g_wobble
// and g_wobbleIndex (written only by AdvanceWobble, which the intro, the overlay and the model
// scene call once per call each). Reads g_sinTable, g_quadric and the g_tex* images.
//
// Skipping ahead and starting again (show_state.cpp): FastForwardShow(frame) brings a show
// at frame 0 to exactly the state it would have after drawing frames 0..frame-1 (the clock,
// the counter, the wobble, the particles with their random sequence, and the GL state the
// earlier scenes leave), in well under a second. KeepShowStartState() remembers the state
// initialisation left and RestartShow() puts it back, for a show played in a loop. The
// default show calls none of them.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "scenes/show_plan.h"

extern double g_demoClock;      // frame clock: +0.0007 per frame drawn, by repeated addition; reset only by RestartShow
extern int32_t g_frameCounter;  // frames drawn so far; scenes use it as an angle in degrees
extern int32_t g_wobbleIndex;   // index into g_sinTable of the last wobble step, 0..253 between steps
extern float g_wobble;          // 9 * g_sinTable[index] as of the last wobble step, -9..9

constexpr int WOBBLE_PERIOD = 254;  // the index runs 1..254 and wraps to 0: table entries 0 and 255 are never read
constexpr float WOBBLE_AMPLITUDE = 9;
// The pace the show was made for: the music's position at a frame is frame / 60 seconds.
constexpr int SHOW_FRAMES_PER_SECOND = 60;

// ---- the sequencer (timeline.cpp) -------------------------------------------------------
// Draws and presents one frame; the result is the buffer swap's, which the caller ignores.
// The frame counter wraps around after 2^31 frames instead of overflowing, which the
// language leaves undefined; by then the show has long ended and no scene reads it.
BOOL DrawFrame();
// DrawFrame without the buffer swap: the frame is drawn into the back buffer and not shown.
void RenderFrame();
// What DrawFrame does to the show's own state (the row's wobble and particle steps, the
// counter, the clock), without any GL call.
void SkipFrame();

// One step of the wobble: index + 1, g_wobble = 9 * g_sinTable[index] (a float), and the
// index back to 0 once it reaches 254.
void AdvanceWobble();

// The scene table, for tools that follow the show (DrawFrame draws through it), made from
// SCENE_ROWS (show_plan.h).
struct SceneRow {
    double lower;  // the row fires when lower < clock < upper
    double upper;
    void (*draw)();
    void (*step)();  // what draw does to the wobble and the particles, drawing nothing; null: nothing
    const char* name;
    const char* key;  // one word naming the row on the command line
};
extern const SceneRow SCENE_TABLE[SCENE_ROW_COUNT];
// The row number (1..8) that fires at `clock`, or 0 when none does.
int SceneRowAt(double clock);

// ---- skipping ahead and starting again (show_state.cpp) --------------------------------
// The first frame in which `row` (1..8) fires, counted by the clock's repeated addition.
int FirstFrameOfRow(int row);
// The row whose key is `key`, or 0.
int SceneRowByKey(const char* key);
// The first frame after the last row: an empty frame, where a looping show starts again (18572).
int ShowEndFrame();
bool ShowHasEnded();  // g_frameCounter has reached ShowEndFrame()
// From the state of frame 0 (after initialisation or RestartShow) to that of `frame`. The
// skipped frames only step the show's state; the last frame of each row passed and the frame
// before `frame` are drawn unseen, so that every piece of GL state is left by the scene code
// itself. Does nothing for frame <= 0.
void FastForwardShow(int frame);
// The next `frames` frames passed over after a frame that was drawn, as FastForwardShow passes
// them: the show's state steps exactly, and only the last frame of a row that ends among them
// is drawn unseen. The frame after them is then drawn as it would be with every frame drawn.
void StepShowOver(int frames);
// Remembers the GL state as initialisation leaves it (on the attribute stack, all groups but
// the viewport, which follows the window, and the model-view matrix). Call once, before any frame.
void KeepShowStartState();
// The show back to frame 0: clock, counter, wobble, particles and their random sequence, and
// the GL state KeepShowStartState remembered.
void RestartShow();

// Rows 4 and 5: the volcano's four draws (terrain/terrain.h) inside the terrain frame. The
// turning view turns g_frameCounter * 0.3 degrees (computed in double) about the vertical
// axis through (-40, 0, 0) and places the terrain at (-128, -28, -150); the still view does
// not turn and places it at (-128, -28, -260). The terrain matrix is pushed and popped, the
// view's own move and turn stay on the model-view matrix.
void DrawTurningTerrainView();
void DrawStillTerrainView();

// ---- intro and credits images (image_scenes.cpp) -----------------------------------------
// The 10 x 10 image square in the plane z = 0, corners at +-5, as one triangle strip with
// the whole of the bound texture; sets the colour to opaque white, changes nothing else.
void DrawImageSquare();
// At depth 9: steps the wobble, binds the fish (0..1), INTRO1 (1..1.5) or INTRO2 (1.5..2)
// by the clock, or nothing outside those, and draws the square. Changes no enable state.
void DrawIntroImage();
void StepIntroImage();
// At depth 8: enables blending and draws the credits card of the clock: coder (8..9),
// design (9..10), qx (10..11), music (11..12), vokra (12..13). Leaves blending on and the
// card bound. Does not step the wobble.
void DrawCredits();

// ---- the wobbling overlay (overlay.cpp) --------------------------------------------------
// Two translucent layers of the fish at depth 4, their corners and texture coordinates
// swung by the wobble (stepped once here), turning slowly about the line of sight. Leaves
// depth test off, blending on, g_texFish bound, opaque white and the turned matrix.
void DrawOverlay();
// Row 2: the intro square first while 2.5 < clock < 3, then the overlay.
void DrawOverlayScene();
void StepOverlay();
void StepOverlayScene();

// ---- the spinning axis star (axis_star.cpp) ----------------------------------------------
// Rows 3 and 6: the overlay, then the star over it.
void DrawStarScene();
void StepStarScene();
// Six rods, six cones and a centre sphere of g_quadric, sphere-mapped with g_texFishMetal,
// at depth 6, turned g_frameCounter degrees about (1, 1, 1). Leaves depth test on, blending
// off, texture-coordinate generation off, g_texFishMetal bound and opaque white.
void DrawAxisStar();

// ---- the model in the metal tube (model_scene.cpp) ---------------------------------------
// Row 7: lighting off, the model turning and bobbing with the wobble inside a translucent
// metal tube. Leaves lighting off, depth test off, blending on, g_texParticle bound.
void DrawModelScene();
void StepModelScene();
