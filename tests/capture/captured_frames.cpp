// The tool run once in the show's data directory, its PNGs read back on demand.
#include "tests/capture/captured_frames.h"

#include <png.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

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

std::string FrameList() {
    std::string list;
    for (int frame : SHOW_FRAMES) list += (list.empty() ? "" : ",") + std::to_string(frame);
    return list;
}

// The frames this process captured itself, removed when it ends.
struct OwnCapture {
    fs::path directory = fs::temp_directory_path() / ("vrex_show_" + std::to_string(getpid()));
    OwnCapture() { CaptureShowInto(directory); }
    ~OwnCapture() { fs::remove_all(directory); }
};

fs::path CapturedShowDirectory() {
    if (const char* fixture = std::getenv("VREX_CAPTURED_SHOW")) return fixture;
    static OwnCapture own;
    return own.directory;
}

}  // namespace

// An uncompressed 24-bit TGA: 18-byte header, then blue, green, red per pixel, bottom row first.
void WriteTga(const fs::path& path, int width, int height, const std::vector<Rgb>& bottomUp) {
    std::vector<uint8_t> bytes = {
        0,  0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8),
        24, 0};
    for (const Rgb& p : bottomUp) bytes.insert(bytes.end(), {uint8_t(p.b), uint8_t(p.g), uint8_t(p.r)});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Rgb Picture::At(int x, int y) const {
    const uint8_t* p = &rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
    return {p[0], p[1], p[2]};
}

Pixel ProjectEyePoint(double x, double y, double z) {
    const double scale = 300 / std::tan(22.5 * 3.14159265358979 / 180);
    return {int(std::lround(400 + scale * x / -z)), int(std::lround(300 - scale * y / -z))};
}

fs::path GeneratedDataDirectory() {
    const char* binary = std::getenv("VREX_BINARY_DIR");
    return fs::path(binary ? binary : ".") / "data";
}

std::string MissingData() {
    for (const char* file : {"vulc.raw", "all.TGA", "grasmap.TGA", "part.TGA"})
        if (!fs::exists(GeneratedDataDirectory() / file))
            return "no generated data: " + (GeneratedDataDirectory() / file).string();
    return "";
}

bool CaptureShowInto(const fs::path& out) {
    fs::path data = fs::temp_directory_path() / ("vrex_show_data_" + std::to_string(getpid()));
    MakeShowData(data);
    std::ostringstream command;
    command << "cd '" << data.string() << "' && '" << VREX_CAPTURE_TOOL << "' --frames " << FrameList() << " --out '"
            << fs::absolute(out).string() << "'";
    bool captured = std::system(command.str().c_str()) == 0;
    fs::remove_all(data);
    return captured;
}

const Picture& ShowFrame(int frame) {
    static std::map<int, Picture> read;
    if (auto found = read.find(frame); found != read.end()) return found->second;
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.png", frame);
    Picture& picture = read[frame];
    if (!ReadPng(CapturedShowDirectory() / name, &picture)) picture = Picture{};
    return picture;
}
