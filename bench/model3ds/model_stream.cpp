// DrawModel's calls from arrays filled beforehand.
#include "bench/model3ds/model_stream.h"

#include <GL/gl.h>

namespace {

ObjectStream ReadObject(const MeshObject& object) {
    ObjectStream out{};
    const bool textured = object.hasTexture && object.materialIndex >= 0 && object.materialIndex < MODEL_TEXTURE_SLOTS;
    out.bindsTexture = textured;
    out.texture = textured ? g_modelTextures[object.materialIndex] : 0;
    const bool coloured = !textured && object.materialIndex >= 0 && object.materialIndex < g_model.materialCount;
    if (coloured)
        for (int k = 0; k < 3; ++k) out.colour[k] = g_model.materials[size_t(object.materialIndex)].colour[k];

    bool everyTexCoord = true, anyTexCoord = false;
    for (int32_t f = 0; f < object.faceCount; ++f)
        for (int32_t i : object.faces[f].vertexIndex) {
            const bool hasTexCoord = textured && object.texCoords && i < object.texCoordCount;
            out.cornerData.push_back(
                {object.normals[i], hasTexCoord ? object.texCoords[i] : TexCoord{}, object.vertices[i]});
            out.hasTexCoord.push_back(hasTexCoord);
            everyTexCoord &= hasTexCoord;
            anyTexCoord |= hasTexCoord;
        }
    if (coloured)
        out.corners = ObjectStream::NORMAL_COLOUR_VERTEX;
    else if (!anyTexCoord)
        out.corners = ObjectStream::NORMAL_VERTEX;
    else if (everyTexCoord)
        out.corners = ObjectStream::NORMAL_TEXCOORD_VERTEX;
    else
        out.corners = ObjectStream::SOME_TEXCOORDS;
    if (out.corners != ObjectStream::SOME_TEXCOORDS) out.hasTexCoord.clear();
    return out;
}

void SendCorners(const ObjectStream& object) {
    const ModelCorner* c = object.cornerData.data();
    const ModelCorner* end = c + object.cornerData.size();
    switch (object.corners) {
    case ObjectStream::NORMAL_VERTEX:
        for (; c != end; ++c) {
            glNormal3f(c->normal.x, c->normal.y, c->normal.z);
            glVertex3f(c->vertex.x, c->vertex.y, c->vertex.z);
        }
        break;
    case ObjectStream::NORMAL_TEXCOORD_VERTEX:
        for (; c != end; ++c) {
            glNormal3f(c->normal.x, c->normal.y, c->normal.z);
            glTexCoord2f(c->texCoord.u, c->texCoord.v);
            glVertex3f(c->vertex.x, c->vertex.y, c->vertex.z);
        }
        break;
    case ObjectStream::NORMAL_COLOUR_VERTEX:
        for (; c != end; ++c) {
            glNormal3f(c->normal.x, c->normal.y, c->normal.z);
            glColor3ub(object.colour[0], object.colour[1], object.colour[2]);
            glVertex3f(c->vertex.x, c->vertex.y, c->vertex.z);
        }
        break;
    case ObjectStream::SOME_TEXCOORDS:
        for (size_t k = 0; c != end; ++c, ++k) {
            glNormal3f(c->normal.x, c->normal.y, c->normal.z);
            if (object.hasTexCoord[k]) glTexCoord2f(c->texCoord.u, c->texCoord.v);
            glVertex3f(c->vertex.x, c->vertex.y, c->vertex.z);
        }
        break;
    }
}

}  // namespace

std::vector<ObjectStream> PrecomputeModelStream() {
    std::vector<ObjectStream> stream;
    for (int32_t o = 0; o < g_model.objectCount; ++o) stream.push_back(ReadObject(g_model.objects[size_t(o)]));
    return stream;
}

void SendModelStream(const std::vector<ObjectStream>& stream) {
    for (const ObjectStream& object : stream) {
        glColor3ub(255, 255, 255);
        if (object.bindsTexture) glBindTexture(GL_TEXTURE_2D, object.texture);
        glBegin(GL_TRIANGLES);
        SendCorners(object);
        glEnd();
    }
}
