#include "data_set.h"

#include <cstdio>
#include <fstream>

#include "dinosaurs.h"
#include "height_map.h"
#include "pictures.h"
#include "resources/demo_images.h"
#include "tga_writer.h"

namespace {

Bytes Rgb(const Image& image) { return EncodeTga(image, TgaDepth::Rgb24); }

Bytes Card(const std::string& font, const char* headline, const char* kicker, const char* byline, uint32_t tint) {
    return Rgb(PaintTitleCard({headline, byline, kicker, RgbHex(tint)}, font));
}

// One maker per picture of DEMO_IMAGES, named after its id.
Bytes MakeGrass(const std::string&) { return Rgb(PaintGroundTexture(BuildHeightField())); }
Bytes MakeAll(const std::string&) { return Rgb(PaintBackdrop()); }
Bytes MakeParticle(const std::string&) { return EncodeTga(PaintParticleGlow(), TgaDepth::Rgba32); }
Bytes MakeMetal(const std::string&) { return Rgb(PaintBrushedMetal()); }
Bytes MakeFish(const std::string&) { return Rgb(PaintFish()); }
Bytes MakeFishMetal(const std::string&) { return Rgb(PaintChromeMap()); }
Bytes MakeIntro1(const std::string& f) { return Card(f, "vrex", "", "presents", 0xE0602A); }
Bytes MakeIntro2(const std::string& f) { return Card(f, "vrex", "", "d e m o", 0xF0A030); }
Bytes MakeCoder(const std::string& f) { return Card(f, "code", "credits", "vrex", 0x30B8F0); }
Bytes MakeDesign(const std::string& f) { return Card(f, "design", "credits", "vrex", 0xD050E0); }
Bytes MakeQx(const std::string& f) { return Card(f, "graphics", "credits", "vrex", 0x50E070); }
Bytes MakeMusic(const std::string& f) { return Card(f, "music", "credits", "vrex", 0xF0B030); }
Bytes MakeVokra(const std::string& f) { return Card(f, "thanks", "vrex demo", "for watching", 0xF04040); }

#define IMAGE_MAKER(id, record, file) {file, Make##id},
const DataFileMaker MAKERS[] = {
    DEMO_IMAGES(IMAGE_MAKER){"vulc.raw", [](const std::string&) { return EncodeHeightMap(BuildHeightField()); }},
    {"dinos.3ds", [](const std::string&) { return EncodeModel3ds(BuildDinosaurs()); }},
    {SAUROPOD_SKIN_FILE, [](const std::string&) { return EncodeBmp24(PaintSauropodSkin()); }},
    {THEROPOD_SKIN_FILE, [](const std::string&) { return EncodeBmp8(PaintTheropodSkin(), BmpPacking::Rle8); }},
};
#undef IMAGE_MAKER

bool WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

}  // namespace

std::span<const DataFileMaker> DataFileMakers() { return MAKERS; }

const DataFileMaker* FindDataFileMaker(const std::string& name) {
    for (const DataFileMaker& maker : MAKERS)
        if (name == maker.name) return &maker;
    return nullptr;
}

bool WriteDataSet(const std::filesystem::path& directory, const std::string& fontPath) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    bool ok = true;
    for (const DataFileMaker& maker : MAKERS) {
        if (!WriteFile(directory / maker.name, maker.make(fontPath))) {
            std::fprintf(stderr, "vrex-gen-data: cannot write %s\n", (directory / maker.name).string().c_str());
            ok = false;
        }
    }
    return ok;
}
