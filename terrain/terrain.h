// terrain.h - the volcano: height map, ground, backdrop walls and the lava fountain.
//
// LoadHeightMap() reads "vulc.raw" once at start-up into g_heightMap. Every frame of the
// two landscape views the sequencer calls, in this order, inside its terrain matrix:
//     DrawBackdrop(); DrawTerrainFirstBand(); DrawParticles(); DrawTerrainSecondBand();
// The particles sit between the two bands so the nearer band hides the fountain's foot.
//
// Terrain frame: x and z span the ground (grid points 0..257, one unit apart), y points up.
// Map row r runs along x and column c along z; grid point (x, z) takes row x - 1, column
// z - 1, so the map is shifted by one entry against the grid, and z = 0 wraps onto column
// 511 of the previous row. Every vertex is sent in immediate mode on every frame.
//
// State: g_heightMap (written once), g_particles and the fountain's random sequence
// (advanced one step per DrawParticles or StepParticles call; reset only by ResetParticles,
// when a looping show starts again), and the ground's private table of heights, which each
// band refills from g_heightMap before it draws.
// Nothing here restores GL state; each routine says what it leaves.
#pragma once

#include <cstdint>

constexpr int MAP_SIZE = 512;     // rows and columns of the height map
constexpr int HEIGHT_SCALE = 10;  // map entry / HEIGHT_SCALE = height in world units (0..25.5)

// ---- height map (height_map.cpp) ---------------------------------------------------------
// One byte of "vulc.raw" per entry, widened to 32 bits; flat entry r * MAP_SIZE + c.
// Zero until LoadHeightMap runs; nothing writes it afterwards.
extern int32_t g_heightMap[MAP_SIZE * MAP_SIZE];

// Reads the first 262,144 bytes of "vulc.raw" row by row. Reports nothing: a missing or
// empty file gives a table of zeros, and in a short file every entry after the last byte
// read keeps that byte's value.
void LoadHeightMap();
// The same from any file; returns how many entries came from the file: MAP_SIZE * MAP_SIZE
// when it held enough bytes, 0 when it was missing or empty. LoadHeightMap ignores it; tools
// that inspect a data set read it.
int LoadHeightMapFile(const char* fileName);

// Height of grid point (x, z): map row x - 1, column z - 1, divided by HEIGHT_SCALE; for
// z = 0 (x >= 2) that is column 511 of row x - 2.
// The points with no map entry (every x = 0, and (1, 0)) take the height of their
// neighbour at x = 1 ((1, 0) and (0, 0) that of row 0, column 0): the nearest entry, so the
// ground's edge continues the map instead of dropping to an arbitrary height.
// Points past the map's end (not reached by the renderer) take its last entry.
float TerrainHeight(int x, int z);

// The two halves of that rule, for code that looks up many points at once: the flat entry
// grid point (x, z) reads, and the height an entry gives.
inline int HeightMapIndex(int x, int z) {
    if (x < 1) x = 1;
    int index = (x - 1) * MAP_SIZE + (z - 1);
    if (index < 0) index = 0;
    if (index > MAP_SIZE * MAP_SIZE - 1) index = MAP_SIZE * MAP_SIZE - 1;
    return index;
}
inline float HeightOfEntry(int32_t entry) { return float(entry) / HEIGHT_SCALE; }

// ---- ground and walls (terrain_draw.cpp, backdrop.cpp) -----------------------------------
// Sends the texture coordinate of terrain point (x, z): (x / 512, -z / 512) in floats. The
// negative t relies on the texture repeating, GL's default wrap mode.
void TerrainTexCoord(float x, float z);

// The ground in g_texGrass, one triangle strip per cell (j, i), j = 0..256, in increasing i
// then j. The first band has rows i = 0..75 (the farther band in the still view), the second
// rows 75..256: row 75 is drawn by both. No normals are sent.
// Each routine first disables blending, binds its texture and sets the colour to opaque
// white, and leaves them so; depth test, lighting and matrices are left as found.
void DrawTerrainFirstBand();
void DrawTerrainSecondBand();

// Four walls in g_texAll around x -172..428, y -350..350, z -512..512, each showing the whole
// texture once. Sets and leaves the same state as the bands.
void DrawBackdrop();

// ---- the fountain (particles.cpp) --------------------------------------------------------
constexpr int PARTICLE_COUNT = 3000;

// One sprite of the fountain. All fields 32 bits, in this order; zero at program start.
struct Particle {
    float progress;  // distance along the path; grows by speed each frame
    float fall;      // accumulated drop; grows by progress * 0.015 each frame
    float drift;     // sideways factor: x = -drift * progress
    float x;         // position relative to the emitter, recomputed each frame
    float y;         // height relative to the emitter, recomputed each frame
    float z;         // across the fountain, fixed at spawn
    float speed;     // growth of progress per frame
    float fade;      // loss of life per frame
    float life;      // 1 at spawn, also the alpha of the sprite; respawn when <= 0
    int32_t kind;    // 0, 1 or 2, drawn at spawn; kind 2 mirrors the drift
};

// Written and read only by DrawParticles, one step per call; the still view continues
// where the turning view stopped.
extern Particle g_particles[PARTICLE_COUNT];

// Advances every particle one frame and draws it as a red 1 x 1 square with alpha = life at
// the emitter (128, 17, 80) of the terrain frame, respawning the ones whose life ran out.
// Enables blending (the additive blend function set at start-up is used as it is), binds
// g_texParticle, and leaves blending on, the particle texture bound and the colour at the
// last particle's; the model-view matrix is pushed and popped.
void DrawParticles();

// The fountain's random numbers: glibc's unseeded rand() sequence from its first value,
// computed by a generator of its own. rand() itself is shared by the whole process and other
// libraries draw from it (the audio back-end does while it starts), which would make the
// fountain differ from run to run, and other C libraries have other sequences; this keeps
// it the same on every run and every system.
int NextParticleRandom();
// Puts the sequence back at its first value. Only ResetParticles (and tests) call it.
void RestartParticleRandom();
// How many values the fountain has drawn since the sequence started: two runs with the same
// count will draw the same values from here on.
int64_t ParticleRandomsDrawn();

// One frame's move of a particle (particle_motion.cpp), and its respawn once its life ran out;
// DrawParticles draws each particle between the two.
void AdvanceParticle(Particle& p);
void RespawnIfSpent(Particle& p);
// What DrawParticles does to g_particles and the random sequence, without drawing: the show
// skips ahead with it, frame by frame.
void StepParticles();
// Every particle back to zero and the sequence to its first value: the fountain as the program
// starts with it, for a show that starts again.
void ResetParticles();
