// demo_images.h - the thirteen pictures of the data set, written once.
//
// DEMO_IMAGES(IMAGE) expands IMAGE(Id, record, file) once per picture, in the order
// initialisation loads them: Id names the picture in code (the generator's makers are
// Make<Id>), record is the TextureImage it is loaded into (resources/textures.h) and file the
// bare name the demo opens it by. Initialisation, the inspector's data set check, the data
// generator and the tests all read this list; the header needs nothing, so tools that never
// load a texture can read it.
#pragma once

#define DEMO_IMAGES(IMAGE)                          \
    IMAGE(Grass, g_texGrass, "grasmap.TGA")         \
    IMAGE(All, g_texAll, "all.TGA")                 \
    IMAGE(Particle, g_texParticle, "part.TGA")      \
    IMAGE(Metal, g_texMetal, "metal.TGA")           \
    IMAGE(Fish, g_texFish, "fish.TGA")              \
    IMAGE(FishMetal, g_texFishMetal, "fishmet.TGA") \
    IMAGE(Intro1, g_texIntro1, "INTRO1.TGA")        \
    IMAGE(Intro2, g_texIntro2, "INTRO2.TGA")        \
    IMAGE(Coder, g_texCoder, "coder.TGA")           \
    IMAGE(Design, g_texDesign, "design.TGA")        \
    IMAGE(Qx, g_texQx, "qx.TGA")                    \
    IMAGE(Music, g_texMusic, "music.TGA")           \
    IMAGE(Vokra, g_texVokra, "vokra.TGA")

#define DEMO_IMAGE_FILE_NAME(id, record, file) file,
inline constexpr const char* DEMO_IMAGE_FILES[] = {DEMO_IMAGES(DEMO_IMAGE_FILE_NAME)};
#undef DEMO_IMAGE_FILE_NAME
