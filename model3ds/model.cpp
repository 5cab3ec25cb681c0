// The demo's one model and the release of its per-object arrays.
#include <cstdlib>

#include "model3ds/model.h"

Model g_model;

void ReleaseModel() { ReleaseModel(g_model); }

void ReleaseModel(Model& model) {
    for (int32_t i = 0; i < model.objectCount && size_t(i) < model.objects.size(); ++i) {
        MeshObject& object = model.objects[size_t(i)];
        std::free(object.faces);
        std::free(object.normals);
        std::free(object.vertices);
        std::free(object.texCoords);
        object.faces = nullptr;
        object.normals = nullptr;
        object.vertices = nullptr;
        object.texCoords = nullptr;
    }
}
