// The three texture records the terrain binds, with distinct names so tests can tell them
// apart; the demo's initialisation defines them in the full program.
#include "resources/textures.h"

TextureImage g_texGrass = {nullptr, 24, 1, 1, 11};
TextureImage g_texAll = {nullptr, 24, 1, 1, 12};
TextureImage g_texParticle = {nullptr, 32, 1, 1, 13};
