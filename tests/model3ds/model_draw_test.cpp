// DrawModel's exact calls for small models read from 3DS files: textured objects with and
// without texture coordinates, untextured ones with and without material colours, and the
// gaps the data can leave (index -1, no face-material group, a short mapping list).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/model3ds/model_gl_test_util.h"

using namespace writer3ds;
using testing::ElementsAreArray;

namespace {

// Two triangles over four vertices; the file's (x, y, z) is drawn as (x, z, -y).
const std::vector<Point> QUAD = {{1, 1, 2}, {3, 1, 2}, {1, 4, 2}, {3, 4, 5}};
const char* const QUAD_VERTEX[] = {"glVertex3f(1, 2, -1)", "glVertex3f(3, 2, -1)", "glVertex3f(1, 2, -4)",
                                   "glVertex3f(3, 5, -4)"};
const std::vector<Uv> QUAD_UV = {{0.25f, 0.5f}, {0.75f, 0.5f}, {0.25f, 1}, {0.75f, 1}};
const char* const QUAD_TEXCOORD[] = {"glTexCoord2f(0.25, 0.5)", "glTexCoord2f(0.75, 0.5)", "glTexCoord2f(0.25, 1)",
                                     "glTexCoord2f(0.75, 1)"};
// The test gives vertex i the normal (i + 0.5, 0.25, -1), so each corner's normal names it.
const char* const QUAD_NORMAL[] = {"glNormal3f(0.5, 0.25, -1)", "glNormal3f(1.5, 0.25, -1)",
                                   "glNormal3f(2.5, 0.25, -1)", "glNormal3f(3.5, 0.25, -1)"};
const int QUAD_CORNERS[] = {0, 1, 2, 1, 3, 2};  // the faces (0, 1, 2) and (1, 3, 2), in order

void MarkNormals() {
    for (MeshObject& object : g_model.objects)
        for (int32_t i = 0; i < object.vertexCount; ++i) object.normals[i] = {float(i) + 0.5f, 0.25f, -1};
}

// A quad object: its face-material groups nested in the face list, an optional mapping list.
writer3ds::Bytes Quad(const std::vector<std::string>& groups, size_t mappings = 0) {
    std::vector<writer3ds::Bytes> nested;
    for (const std::string& group : groups) nested.push_back(FaceMaterial(group, {0, 1}));
    std::vector<writer3ds::Bytes> mesh{VertexList(QUAD), FaceList({{0, 1, 2, 0}, {1, 3, 2, 0}}, nested)};
    if (mappings) mesh.push_back(MappingList(std::vector<Uv>(QUAD_UV.begin(), QUAD_UV.begin() + ptrdiff_t(mappings))));
    return Object("quad", {TriangleMesh(mesh)});
}

const writer3ds::Bytes SKIN = MaterialEntry("skin", {200, 100, 50}, "skin.bmp");  // texture 1
const writer3ds::Bytes PAINT = MaterialEntry("paint", {10, 20, 30});
const writer3ds::Bytes OTHER = MaterialEntry("other", {70, 80, 90});

// The six corners; `between` gives what a corner sends between its normal and its vertex.
template <typename Between>
Lines Corners(Between between) {
    Lines lines;
    for (int v : QUAD_CORNERS) {
        lines.push_back(QUAD_NORMAL[v]);
        for (const std::string& line : between(v)) lines.push_back(line);
        lines.push_back(QUAD_VERTEX[v]);
    }
    return lines;
}

Lines Textured(unsigned texture, size_t mappings) {
    return Lines{"glColor3ub(255, 255, 255)", "glBindTexture(GL_TEXTURE_2D, " + std::to_string(texture) + ")",
                 "glBegin(GL_TRIANGLES)"} +
           Corners([&](int v) { return size_t(v) < mappings ? Lines{QUAD_TEXCOORD[v]} : Lines{}; }) + Lines{"glEnd()"};
}

Lines Untextured(const std::string& colour = "") {
    return Lines{"glColor3ub(255, 255, 255)", "glBegin(GL_TRIANGLES)"} +
           Corners([&](int) { return colour.empty() ? Lines{} : Lines{"glColor3ub(" + colour + ")"}; }) +
           Lines{"glEnd()"};
}

using DrawModelCalls = ModelGlTest;

TEST_F(DrawModelCalls, SmallModelsMakeExactlyTheseCalls) {
    std::vector<writer3ds::Bytes> plainMaterials;
    for (int i = 0; i < 100; ++i) plainMaterials.push_back(MaterialEntry("m" + std::to_string(i), {0, 0, 0}));
    std::vector<writer3ds::Bytes> beyondTheTable = plainMaterials;
    beyondTheTable.push_back(MaterialEntry("m100", {40, 50, 60}, "unread.bmp"));
    beyondTheTable.push_back(Quad({"m100"}, 4));

    struct Case {
        const char* what;
        std::vector<writer3ds::Bytes> editor;
        Lines expected;
    };
    const Case cases[] = {
        {"textured, with a mapping list", {SKIN, Quad({"skin"}, 4)}, Textured(1, 4)},
        {"textured, no mapping list: no texture coordinate", {SKIN, Quad({"skin"})}, Textured(1, 0)},
        {"textured, a mapping list shorter than the vertices", {SKIN, Quad({"skin"}, 2)}, Textured(1, 2)},
        {"untextured, model without materials: white", {Quad({}, 4)}, Untextured()},
        {"untextured, its material's colour before every vertex",
         {PAINT, Quad({"paint"}, 4)},
         Untextured("10, 20, 30")},
        {"untextured, no group: the first material's colour", {PAINT, OTHER, Quad({}, 4)}, Untextured("10, 20, 30")},
        {"the last group decides the colour", {PAINT, OTHER, Quad({"paint", "other"})}, Untextured("70, 80, 90")},
        {"group naming no known material: white", {PAINT, Quad({"none"})}, Untextured()},
        {"textured, then a group naming no known material: white, nothing bound",
         {SKIN, Quad({"skin", "none"}, 4)},
         Untextured()},
        {"textured, then an untextured group: its empty slot is bound",
         {SKIN, PAINT, Quad({"skin", "paint"}, 4)},
         Lines{"glColor3ub(255, 255, 255)", "glBindTexture(GL_TEXTURE_2D, 0)", "glBegin(GL_TRIANGLES)"} +
             Corners([](int v) { return Lines{QUAD_TEXCOORD[v]}; }) + Lines{"glEnd()"}},
        {"two objects: one begin and end each, the second binds nothing",
         {SKIN, PAINT, Quad({"skin"}, 4), Quad({"paint"})},
         Textured(1, 4) + Untextured("10, 20, 30")},
        {"material beyond the texture table: its colour, nothing bound", beyondTheTable, Untextured("40, 50, 60")},
        {"no objects: no call at all", {SKIN, PAINT}, {}},
    };
    WritePicture("skin.bmp", SolidBmp(2, 2, {255, 0, 0}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ForgetModel();
        glrec::Reset();
        Load(Document(c.editor));
        MarkNormals();
        glrec::Clear();
        DrawModel();
        EXPECT_THAT(glrec::Lines(), ElementsAreArray(c.expected));
        EXPECT_FALSE(glrec::InsideBeginEnd());
    }
}

TEST_F(DrawModelCalls, UntexturedObjectsDrawWithTheTextureTheCallerLeftBound) {
    WritePicture("skin.bmp", SolidBmp(2, 2, {255, 0, 0}));
    Load(Document({SKIN, PAINT, Quad({"paint"})}));
    glBindTexture(GL_TEXTURE_2D, 77);
    DrawModel();
    EXPECT_EQ(glrec::BoundTexture(), 77u);
    // The last colour sent stays current: the material's, with full alpha.
    EXPECT_EQ(glrec::CurrentColor(), (glrec::Vec4{10 / 255.0f, 20 / 255.0f, 30 / 255.0f, 1}));
}

TEST_F(DrawModelCalls, EmptyModelAfterAFailedImportMakesNoCall) {
    LoadModel("missing.3ds");
    glrec::Clear();
    DrawModel();
    EXPECT_TRUE(glrec::Lines().empty());
}

}  // namespace
