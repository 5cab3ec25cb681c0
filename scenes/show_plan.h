// show_plan.h - the show's plan: the clock step and the clock bounds of every scene row and
// every credits card, written once.
//
// The sequencer (timeline.cpp) builds its scene table from SCENE_ROWS, the credits
// (image_scenes.cpp) their cards from CREDITS_CARDS, and the music generator
// (tools/gen-music) its sections from both, so the music changes where the pictures do.
// Each list is an X-macro: define a macro of the row's shape, pass it in, and the list
// expands to one call per row, in show order:
//     #define BOUNDS(lower, upper, draw, step, name, key) {lower, upper},
//     constexpr double bounds[][2] = {SCENE_ROWS(BOUNDS)};
// A row fires while lower < clock < upper; the rows touch and never overlap. The header
// needs nothing else, so tools that do not link the scenes can read it.
#pragma once

constexpr double CLOCK_STEP = 0.0007;  // added to the demo's clock after every frame drawn

// ROW(lower, upper, draw routine, step routine, name, key): the step routine does to the
// wobble and the particles what the draw routine does, drawing nothing (nullptr: nothing);
// the key is the one word that names the row on the demo's command line.
#define SCENE_ROWS(ROW)                                                                \
    ROW(0.0, 2.0, DrawIntroImage, StepIntroImage, "intro images", "intro")             \
    ROW(2.0, 3.0, DrawOverlayScene, StepOverlayScene, "overlay", "overlay")            \
    ROW(3.0, 4.5, DrawStarScene, StepStarScene, "axis star", "star")                   \
    ROW(4.5, 5.0, DrawTurningTerrainView, StepParticles, "turning terrain", "terrain") \
    ROW(5.0, 5.5, DrawStillTerrainView, StepParticles, "still terrain", "still")       \
    ROW(5.5, 6.0, DrawStarScene, StepStarScene, "axis star again", "star2")            \
    ROW(6.0, 8.0, DrawModelScene, StepModelScene, "model in the tube", "model")        \
    ROW(8.0, 13.0, DrawCredits, nullptr, "credits", "credits")

// CARD(lower, upper, image record): the credits row's five cards, which fill it.
#define CREDITS_CARDS(CARD)      \
    CARD(8.0, 9.0, g_texCoder)   \
    CARD(9.0, 10.0, g_texDesign) \
    CARD(10.0, 11.0, g_texQx)    \
    CARD(11.0, 12.0, g_texMusic) \
    CARD(12.0, 13.0, g_texVokra)

#define SHOW_PLAN_COUNT_ONE(...) +1
constexpr int SCENE_ROW_COUNT = 0 SCENE_ROWS(SHOW_PLAN_COUNT_ONE);
constexpr int CREDITS_CARD_COUNT = 0 CREDITS_CARDS(SHOW_PLAN_COUNT_ONE);
#undef SHOW_PLAN_COUNT_ONE
