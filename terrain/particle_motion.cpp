// The lava fountain's motion: 3000 particles advanced one step per frame, respawned from the
// fountain's own random sequence. Each step is computed in double precision and stored as float.
#include "terrain/terrain.h"

Particle g_particles[PARTICLE_COUNT];

namespace {

void Spawn(Particle& p) {
    p.progress = 0;
    p.fall = 0;
    p.speed = float(double(NextParticleRandom() % 400) / 1000 + double(0.04f));
    p.drift = float(double(NextParticleRandom() % 14) / 10);
    p.z = float(double(NextParticleRandom() % 25) / 10);
    p.life = 1;
    p.kind = NextParticleRandom() % 3;
    p.fade = float(double(NextParticleRandom() % 100) / 1000 + 0.0015);
    if (p.kind > 1) p.drift = float(0 - double(p.drift));
}

}  // namespace

void AdvanceParticle(Particle& p) {
    p.fall = float(double(p.fall) + double(p.progress) * 0.015);  // the old progress
    p.progress = float(double(p.progress) + double(p.speed));
    p.life = float(double(p.life) - double(p.fade));
    p.x = float(-double(p.drift) * double(p.progress));
    p.y = float(2 * double(p.progress) - double(p.fall));
}

void RespawnIfSpent(Particle& p) {
    if (p.life <= 0) Spawn(p);
}

void StepParticles() {
    for (Particle& p : g_particles) {
        AdvanceParticle(p);
        RespawnIfSpent(p);
    }
}

void ResetParticles() {
    for (Particle& p : g_particles) p = Particle{};
    RestartParticleRandom();
}
