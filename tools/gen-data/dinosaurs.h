// dinosaurs.h - "dinos.3ds" and its two skin pictures: a long-necked sauropod and a small
// theropod standing beside it, built from tubes swept along curves.
//
// The model stands on the ground plane of the model scene's tube: in the demo's axes it lies
// within radius MODEL_RADIUS of the vertical axis and between heights 0 and MODEL_HEIGHT.
// Materials: the sauropod's skin (a 24-bit BMP), the theropod's skin (an 8-bit palettised,
// run-length encoded BMP), and two plain colours (horn for the back spikes, eyes).
//
// The demo draws untextured objects with whatever texture is bound and the last texture
// coordinate sent. So the untextured objects come after the textured ones, and the last
// corner of the last textured object is a toe tip whose coordinate lies in the skins' pale
// claw patch: the plain colours then show nearly as they are.
#pragma once

#include "bmp_writer.h"
#include "model_file.h"

inline constexpr float MODEL_RADIUS = 58.0f;  // the tube around it has radius 65; 60 is the limit
inline constexpr float MODEL_HEIGHT = 98.0f;  // the tube is 100 high
inline constexpr const char* SAUROPOD_SKIN_FILE = "sauropod.bmp";
inline constexpr const char* THEROPOD_SKIN_FILE = "theropod.bmp";
inline constexpr float CLAW_PATCH_U = 0.94f;  // skins are pale ivory from this u to the right edge

ModelDescription BuildDinosaurs();

Image PaintSauropodSkin();         // 24-bit
IndexedImage PaintTheropodSkin();  // palettised
