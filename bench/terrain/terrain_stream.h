// terrain_stream.h - the terrain frame's GL calls replayed from arrays: the bare loop the
// demo's own drawing is measured against.
//
// PrecomputeTerrainStream() reads what the demo's routines read (g_heightMap, g_particles,
// the three texture names) and fills flat arrays with every argument they send; after that
// SendTerrainStream() issues, with no work of its own but walking the arrays, exactly the
// calls of DrawBackdrop(); DrawTerrainFirstBand(); DrawParticles(); DrawTerrainSecondBand().
//
// The fountain is the one part that moves: DrawParticles advances every particle before it
// draws it. The stream holds the sprites as drawn from the particles left by
// SteadyFountain(), so a frame that starts from that same state (RestoreFountain) draws
// exactly the stream's sprites.
#pragma once

#include <vector>

#include "terrain/terrain.h"

struct TexturedVertex {
    float s, t, x, y, z;
};

struct TerrainStream {
    std::vector<TexturedVertex> walls, firstBand, secondBand;  // four vertices per strip
    std::vector<float> spriteAlpha;                            // one per particle
    std::vector<TexturedVertex> sprites;                       // four per particle
};

// Makes the fountain's next step respawn nothing, so one DrawParticles call leaves every
// particle exactly as it drew it, and keeps a copy of that starting state.
void SteadyFountain();
// Puts g_particles back at the state SteadyFountain kept.
void RestoreFountain();

// Takes one fountain step from the kept state (issuing that frame's particle calls to the
// current GL), reads the sprites it drew, and leaves the particles at the kept state again.
TerrainStream PrecomputeTerrainStream();

void SendTerrainStream(const TerrainStream& stream);
