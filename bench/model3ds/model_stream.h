// model_stream.h - DrawModel's GL calls replayed from arrays: the bare loop the demo's own
// model drawing is measured against.
//
// PrecomputeModelStream() reads g_model and g_modelTextures once and lays every corner's
// arguments out in the order they are sent; SendModelStream() then issues exactly DrawModel's
// calls with no work of its own but walking the arrays: one tight loop per object, chosen by
// what its corners carry.
#pragma once

#include <cstdint>
#include <vector>

#include "model3ds/model.h"

struct ModelCorner {
    Vector3 normal;
    TexCoord texCoord;
    Vector3 vertex;
};

struct ObjectStream {
    enum Corners {
        NORMAL_VERTEX,           // textured without a mapping list, or untextured in white
        NORMAL_TEXCOORD_VERTEX,  // textured, every corner inside the mapping list
        NORMAL_COLOUR_VERTEX,    // untextured in its material's colour
        SOME_TEXCOORDS,          // textured, a mapping list too short for some corners
    };
    Corners corners;
    bool bindsTexture;
    uint32_t texture;
    uint8_t colour[3];
    std::vector<ModelCorner> cornerData;
    std::vector<bool> hasTexCoord;  // SOME_TEXCOORDS only: one per corner
};

std::vector<ObjectStream> PrecomputeModelStream();
void SendModelStream(const std::vector<ObjectStream>& stream);
