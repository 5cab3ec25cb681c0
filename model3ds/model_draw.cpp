// DrawModel: g_model in immediate mode, one triangle list per object.
#include <GL/gl.h>

#include "model3ds/model.h"

namespace {

// The texture slot of a textured object, or -1 when it is drawn untextured.
int32_t TextureSlot(const MeshObject& object) {
    if (!object.hasTexture || object.materialIndex < 0 || object.materialIndex >= MODEL_TEXTURE_SLOTS) return -1;
    return object.materialIndex;
}

// The material whose colour an untextured object sends before every vertex, or null for
// plain white.
const Material* ColourMaterial(const Model& model, const MeshObject& object) {
    if (object.materialIndex < 0 || object.materialIndex >= model.materialCount) return nullptr;
    return &model.materials[size_t(object.materialIndex)];
}

void DrawTexturedObject(const MeshObject& object, int32_t slot) {
    glColor3ub(255, 255, 255);
    glBindTexture(GL_TEXTURE_2D, g_modelTextures[slot]);
    glBegin(GL_TRIANGLES);
    for (int32_t f = 0; f < object.faceCount; ++f)
        for (int32_t i : object.faces[f].vertexIndex) {
            const Vector3& normal = object.normals[i];
            glNormal3f(normal.x, normal.y, normal.z);
            // Looked up by vertex index; a short mapping list leaves the current coordinate.
            if (object.texCoords && i < object.texCoordCount)
                glTexCoord2f(object.texCoords[i].u, object.texCoords[i].v);
            const Vector3& vertex = object.vertices[i];
            glVertex3f(vertex.x, vertex.y, vertex.z);
        }
    glEnd();
}

// Shows whatever texture the caller or the previous textured object left bound.
void DrawUntexturedObject(const MeshObject& object, const Material* material) {
    glColor3ub(255, 255, 255);
    glBegin(GL_TRIANGLES);
    for (int32_t f = 0; f < object.faceCount; ++f)
        for (int32_t i : object.faces[f].vertexIndex) {
            const Vector3& normal = object.normals[i];
            glNormal3f(normal.x, normal.y, normal.z);
            if (material) glColor3ub(material->colour[0], material->colour[1], material->colour[2]);
            const Vector3& vertex = object.vertices[i];
            glVertex3f(vertex.x, vertex.y, vertex.z);
        }
    glEnd();
}

}  // namespace

void DrawModel() {
    for (int32_t o = 0; o < g_model.objectCount; ++o) {
        const MeshObject& object = g_model.objects[size_t(o)];
        int32_t slot = TextureSlot(object);
        if (slot >= 0)
            DrawTexturedObject(object, slot);
        else
            DrawUntexturedObject(object, ColourMaterial(g_model, object));
    }
}
