// The fountain's random sequence: glibc's rand() as it runs unseeded (seed 1), that is its
// additive feedback generator on a 31-word state (the 128-byte TYPE_3 state of random()).
// Written out rather than taken from the C library, so the show is the same where the C
// library's rand() is another generator (Windows) or is drawn from by other code.
#include <array>
#include <cstdint>

#include "terrain/terrain.h"

namespace {

constexpr int STATE_WORDS = 31;                  // degree of the feedback polynomial x^31 + x^3 + 1
constexpr int SEPARATION = 3;                    // the second tap: word i is state[i - 31] + state[i - 28]
constexpr int WARM_UP_DRAWS = 10 * STATE_WORDS;  // results thrown away after seeding
constexpr int32_t SEED = 1;                      // rand() before any srand()

struct Generator {
    std::array<uint32_t, STATE_WORDS> state;
    int front = SEPARATION;  // the word that receives each sum
    int rear = 0;            // the word added to it
};

Generator generator;
bool generatorReady = false;
int64_t randomsDrawn = 0;  // since the sequence last started

// The state after seeding: a Lehmer sequence (16807 * x mod 2^31 - 1) from the seed, computed
// without overflow by Schrage's method as the C library does.
void Seed(Generator& g) {
    int32_t word = SEED;
    g.state[0] = uint32_t(word);
    for (int i = 1; i < STATE_WORDS; ++i) {
        const int32_t high = word / 127773, low = word % 127773;
        word = 16807 * low - 2836 * high;
        if (word < 0) word += 2147483647;
        g.state[i] = uint32_t(word);
    }
    g.front = SEPARATION;
    g.rear = 0;
}

int32_t Draw(Generator& g) {
    g.state[g.front] += g.state[g.rear];  // modulo 2^32
    const int32_t result = int32_t(g.state[g.front] >> 1);
    g.front = (g.front + 1) % STATE_WORDS;
    g.rear = (g.rear + 1) % STATE_WORDS;
    return result;
}

}  // namespace

void RestartParticleRandom() {
    Seed(generator);
    for (int i = 0; i < WARM_UP_DRAWS; ++i) Draw(generator);
    generatorReady = true;
    randomsDrawn = 0;
}

int64_t ParticleRandomsDrawn() { return randomsDrawn; }

int NextParticleRandom() {
    if (!generatorReady) RestartParticleRandom();
    ++randomsDrawn;
    return Draw(generator);
}
