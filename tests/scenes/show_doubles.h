// show_doubles.h - what the scenes read and call from their neighbours, as test doubles.
//
// The scene tests link the scenes with the GL recorder and the fake platform, and these
// stand-ins for the rest of the demo: the thirteen images with distinct texture names, the
// sine table and quadric as initialisation makes them, the device context, and the terrain
// routines, which only log that they were called. The model scene's stand-in is in
// model_scene_double.cpp, so that the model scene's own test can link the real one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Texture names the doubles give the images, so a bound name tells which image it is.
enum ImageName : unsigned {
    GRASS = 11,
    ALL,
    PARTICLE,
    METAL,
    FISH,
    FISH_METAL,
    INTRO1,
    INTRO2,
    CODER,
    DESIGN,
    QX,
    MUSIC,
    VOKRA
};

// One call of a stand-in routine and what it found.
struct RoutineCall {
    std::string name;
    int frameCounter;
    int wobbleIndex;
    std::size_t glCallsBefore;  // how many GL calls were recorded before it
};
extern std::vector<RoutineCall> g_routineCalls;
void LogRoutineCall(const char* name);

// GL state as initialisation leaves it: texturing, depth test, colour material, light 0 and
// lighting on, blending off with the additive function, the model-view matrix current.
// Resets the recorder, the fake platform, the routine log and the timeline's globals.
void StartFromInitialisedState();

// The clock after `frames` frames, summed as the demo sums it.
double ClockAtFrame(int frames);

// Sets the timeline to the moment frame `frame` is about to be drawn.
void GoToFrame(int frame, int wobbleIndex);
