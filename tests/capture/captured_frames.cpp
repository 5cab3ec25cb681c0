// Test images from readable bytes, the tool run in a scratch data directory, PNGs read back.
#include "tests/capture/captured_frames.h"

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

fs::path DataDirectory() {
    const char* binary = std::getenv("VREX_BINARY_DIR");
    return fs::path(binary ? binary : ".") / "data";
}

std::vector<Rgb> QuadrantFish() {
    const Rgb red{255, 0, 0}, green{0, 255, 0}, yellow{255, 255, 0}, magenta{255, 0, 255}, blue{0, 0, 255};
    std::vector<Rgb> pixels;
    for (int row = 0; row < 8; ++row)  // row 0 is the bottom
        for (int column = 0; column < 8; ++column) {
            bool centre = (row == 3 || row == 4) && (column == 3 || column == 4);
            bool top = row >= 4, right = column >= 4;
            pixels.push_back(centre ? blue : top ? (right ? magenta : yellow) : (right ? green : red));
        }
    return pixels;
}

bool ReadPng(const fs::path& path, Picture* picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.string().c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    picture->width = int(image.width);
    picture->height = int(image.height);
    picture->rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture->rgb.data(), 0, nullptr) != 0;
}

}  // namespace

// An uncompressed 24-bit TGA: 18-byte header, then blue, green, red per pixel, bottom row first.
void WriteTga(const fs::path& path, int width, int height, const std::vector<Rgb>& bottomUp) {
    std::vector<uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8), 24, 0};
    for (const Rgb& p : bottomUp) bytes.insert(bytes.end(), {uint8_t(p.b), uint8_t(p.g), uint8_t(p.r)});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Rgb Picture::At(int x, int y) const {
    const uint8_t* p = &rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
    return {p[0], p[1], p[2]};
}

std::string MissingData() {
    for (const char* file : {"dinos.3ds", "vulc.raw", "all.TGA"})
        if (!fs::exists(DataDirectory() / file)) return "no generated data: " + (DataDirectory() / file).string();
    return "";
}

std::map<int, Picture> CaptureFrames(const std::string& frames) {
    fs::path scratch = fs::temp_directory_path() / ("vrex_capture_" + std::to_string(getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    for (const fs::directory_entry& entry : fs::directory_iterator(DataDirectory()))
        fs::create_symlink(fs::absolute(entry.path()), scratch / entry.path().filename());
    fs::remove(scratch / "fish.TGA");
    fs::remove(scratch / "fishmet.TGA");
    WriteTga(scratch / "fish.TGA", 8, 8, QuadrantFish());
    WriteTga(scratch / "fishmet.TGA", 4, 4, std::vector<Rgb>(16, Rgb{0, 255, 0}));

    std::map<int, Picture> pictures = CaptureFramesIn(scratch, frames);
    fs::remove_all(scratch);
    return pictures;
}

std::map<int, Picture> CaptureFramesIn(const fs::path& directory, const std::string& frames) {
    std::ostringstream command;
    command << "cd '" << directory.string() << "' && '" << VREX_CAPTURE_TOOL << "' --frames " << frames << " --out out";
    std::map<int, Picture> pictures;
    if (std::system(command.str().c_str()) != 0) return pictures;
    std::stringstream list(frames);
    for (std::string item; std::getline(list, item, ',');) {
        int frame = std::stoi(item);
        char name[32];
        std::snprintf(name, sizeof name, "frame_%05d.png", frame);
        if (!ReadPng(directory / "out" / name, &pictures[frame])) pictures.erase(frame);
    }
    fs::remove_all(directory / "out");
    return pictures;
}
