// LoadModel and CreateBmpTexture against the GL recorder: which materials get a texture in
// which slot, the exact upload calls, the unpack alignment left behind, and the exit when a
// picture cannot be read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tests/model3ds/model_gl_test_util.h"

using namespace writer3ds;
using testing::ElementsAreArray;

namespace {

// The calls that turn one picture of width x height into texture `name`.
Lines TextureUpload(unsigned name, int width, int height) {
    return {"glGenTextures(1, ptr)",
            "glPixelStorei(GL_UNPACK_ALIGNMENT, 1)",
            "glBindTexture(GL_TEXTURE_2D, " + std::to_string(name) + ")",
            "gluBuild2DMipmaps(GL_TEXTURE_2D, 3, " + std::to_string(width) + ", " + std::to_string(height) +
                ", GL_RGB, GL_UNSIGNED_BYTE, ptr)",
            "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST)",
            "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR)"};
}

const std::vector<Point> TRIANGLE = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

// A model with the given materials and one triangle of the first material.
writer3ds::Bytes ModelWith(const std::vector<writer3ds::Bytes>& materials) {
    std::vector<writer3ds::Bytes> editor = materials;
    editor.push_back(Object("tri", {TriangleMesh({VertexList(TRIANGLE), FaceList({{0, 1, 2, 0}})})}));
    return Document(editor);
}

std::vector<uint32_t> Slots(int count) { return std::vector<uint32_t>(g_modelTextures, g_modelTextures + count); }

using ModelImport = ModelGlTest;

TEST_F(ModelImport, MaterialsWithAPictureFillTheirOwnSlotsAndTheOthersStayEmpty) {
    // Pictures of different sizes, so each upload shows which file it came from.
    WritePicture("first.bmp", SolidBmp(2, 1, {255, 0, 0}));
    WritePicture("third.bmp", SolidBmp(3, 2, {0, 255, 0}));
    Load(ModelWith({MaterialEntry("first", {1, 1, 1}, "first.bmp"), MaterialEntry("second", {2, 2, 2}),
                    MaterialEntry("third", {3, 3, 3}, "third.bmp")}));

    EXPECT_THAT(glrec::Lines(), ElementsAreArray(TextureUpload(1, 2, 1) + TextureUpload(2, 3, 2)));
    EXPECT_EQ(Slots(4), (std::vector<uint32_t>{1, 0, 2, 0}));
    EXPECT_EQ(glrec::BoundTexture(), 2u) << "the last texture made stays bound";
    EXPECT_EQ(UnpackAlignment(), 1) << "never set back";
    EXPECT_TRUE(fake::g_messageBoxes.empty());
    EXPECT_EQ(g_model.objectCount, 1);
}

TEST_F(ModelImport, WithoutPicturesNoTextureIsMadeAndTheUnpackAlignmentStaysAtItsDefault) {
    struct Case {
        const char* what;
        bool writeFile;
        writer3ds::Bytes file;
        const char* message;  // the reader's box, if any
    };
    const Case cases[] = {
        {"no materials", true, ModelWith({}), nullptr},
        {"materials without pictures", true, ModelWith({MaterialEntry("plain", {9, 9, 9})}), nullptr},
        {"no model file", false, {}, "Unable to find the file: model.3ds!"},
        {"not a 3DS file", true, Chunk(0x1234, Bytes{}), "Unable to load PRIMARY chuck from file: model.3ds!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ForgetModel();
        glrec::Reset();
        fake::Reset();
        std::remove("model.3ds");
        if (c.writeFile)
            Load(c.file);
        else
            LoadModel("model.3ds");
        EXPECT_TRUE(glrec::Lines().empty()) << glrec::Join(glrec::Lines());
        EXPECT_EQ(Slots(MODEL_TEXTURE_SLOTS), std::vector<uint32_t>(MODEL_TEXTURE_SLOTS, 0));
        EXPECT_EQ(UnpackAlignment(), 4);
        ASSERT_EQ(fake::g_messageBoxes.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(fake::g_messageBoxes[0].text, c.message);
        }
    }
}

// Counts the times a file is opened, through the kernel's file events. Closes are watched
// too: the kernel merges identical events in a row, so two opens must be told apart.
class OpenCounter {
public:
    explicit OpenCounter(const char* path) : fd_(inotify_init1(IN_NONBLOCK)) {
        if (fd_ >= 0 && inotify_add_watch(fd_, path, IN_OPEN | IN_CLOSE_NOWRITE) < 0) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~OpenCounter() { close(fd_); }
    bool Works() const { return fd_ >= 0; }
    int Opens() {
        int opens = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = read(fd_, buffer, sizeof buffer)) > 0;)
            for (char* p = buffer; p < buffer + got;
                 p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
                opens += (reinterpret_cast<inotify_event*>(p)->mask & IN_OPEN) != 0;
        return opens;
    }

private:
    int fd_;
};

TEST_F(ModelImport, TwoMaterialsNamingOnePictureReadItTwiceIntoTwoTextures) {
    WritePicture("shared.bmp", SolidBmp(4, 4, {10, 20, 30}));
    OpenCounter counter("shared.bmp");
    ASSERT_TRUE(counter.Works());
    Load(ModelWith({MaterialEntry("one", {1, 1, 1}, "shared.bmp"), MaterialEntry("two", {2, 2, 2}, "shared.bmp")}));

    EXPECT_EQ(counter.Opens(), 2);
    EXPECT_THAT(glrec::Lines(), ElementsAreArray(TextureUpload(1, 4, 4) + TextureUpload(2, 4, 4)));
    EXPECT_EQ(Slots(3), (std::vector<uint32_t>{1, 2, 0}));
}

TEST_F(ModelImport, MaterialsFromTheHundredthOnHaveNoSlotAndTheirPicturesAreNotRead) {
    // Material 99 takes the last slot; material 100 names a picture that does not exist,
    // which would end the process if it were read.
    WritePicture("last.bmp", SolidBmp(1, 1, {1, 2, 3}));
    std::vector<writer3ds::Bytes> materials;
    for (int i = 0; i < 99; ++i) materials.push_back(MaterialEntry("m" + std::to_string(i), {0, 0, 0}));
    materials.push_back(MaterialEntry("m99", {0, 0, 0}, "last.bmp"));
    materials.push_back(MaterialEntry("m100", {0, 0, 0}, "missing.bmp"));
    Load(ModelWith(materials));

    ASSERT_EQ(g_model.materialCount, 101);
    EXPECT_THAT(glrec::Lines(), ElementsAreArray(TextureUpload(1, 1, 1)));
    EXPECT_EQ(g_modelTextures[99], 1u);
    EXPECT_TRUE(fake::g_messageBoxes.empty());
}

TEST_F(ModelImport, CreateBmpTextureWithoutAFileNameOrOutsideTheTableDoesNothing) {
    // The picture is missing: reading it would end the process.
    const struct {
        const char* what;
        const char* fileName;
        int32_t slot;
    } cases[] = {{"no file name", nullptr, 0}, {"slot -1", "missing.bmp", -1}, {"slot 100", "missing.bmp", 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CreateBmpTexture(g_modelTextures, c.fileName, c.slot);
        EXPECT_TRUE(glrec::Lines().empty());
        EXPECT_TRUE(fake::g_messageBoxes.empty());
    }
}

// Run at the exit of a death test's child: what it had done by then, on standard error.
void ReportAtExit() {
    for (const fake::MessageBoxShown& box : fake::g_messageBoxes)
        std::fprintf(stderr, "[box %s: %s]", box.caption.c_str(), box.text.c_str());
    std::fprintf(stderr, "[textures made: %zu]", glrec::Count("glGenTextures"));
    bool freed = !g_model.objects.empty();
    for (const MeshObject& object : g_model.objects)
        freed = freed && !object.vertices && !object.faces && !object.normals;
    std::fprintf(stderr, "[model freed: %s]", freed ? "yes" : "no");
}

using ModelImportDeathTest = ModelGlTest;

TEST_F(ModelImportDeathTest, UnreadablePictureEndsTheProcessWithStatusZeroAfterTheReadersMessage) {
    struct Case {
        const char* what;
        bool write;
        Bytes picture;
        const char* message;
    };
    Bytes unknownHeader = SolidBmp(1, 1, {1, 2, 3});
    unknownHeader[14] = 64;  // the bitmap header's size
    Bytes noPixels = SolidBmp(2, 2, {1, 2, 3});
    noPixels.resize(54);
    const Case cases[] = {
        {"missing", false, {}, "\\[box Error: Failed to open DIB file bad\\.bmp\\.\n\\]"},
        {"unknown header", true, unknownHeader, "\\[box Error: Unknown DIB file format\\.\\]"},
        {"pixels cut off", true, noPixels, "\\[box Error: Image file conversion error\\.\\]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WritePicture("good.bmp", SolidBmp(1, 1, {1, 2, 3}));
        WritePicture("after.bmp", SolidBmp(1, 1, {1, 2, 3}));
        std::remove("bad.bmp");
        if (c.write) WritePicture("bad.bmp", c.picture);
        writer3ds::Bytes model =
            ModelWith({MaterialEntry("good", {0, 0, 0}, "good.bmp"), MaterialEntry("bad", {0, 0, 0}, "bad.bmp"),
                       MaterialEntry("after", {0, 0, 0}, "after.bmp")});
        // The material after the bad one gets no texture: one texture made, then the exit.
        EXPECT_EXIT(
            {
                std::atexit(ReportAtExit);
                Load(model);
                std::fprintf(stderr, "[went on]");
                std::exit(1);
            },
            testing::ExitedWithCode(0), std::string(c.message) + "\\[textures made: 1\\]\\[model freed: yes\\]$");
    }
}

}  // namespace
