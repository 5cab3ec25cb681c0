// The show drawn by our own GL over shaders (vrex-capture-gles) against the system's
// fixed-function GL (vrex-capture) on the same driver: chosen frames must match closely.
//
// Both tools skip ahead to each frame as the demo's --start does, so the run stays short; the
// frames are picked to show every kind of drawing the show does at least once, and three are
// drawn right after the frame before them, from the driver buffers that frame filled.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Shot {
    int frame;
    const char* shows;
};

// Frames count from 0; the scene rows start at 0, 2858, 4286, 6429, 7143, 7857, 8572, 11429.
constexpr Shot SHOTS[] = {
    {300, "intro image: a textured square"},
    {2900, "overlay: both wobbling layers blended over the fish"},
    {4300, "axis star: sphere-mapped quadrics, lit, over the overlay"},
    {4301, "axis star, the frame after: the star's batches drawn from the buffers of the one before"},
    {5000, "axis star turned further: the sphere map away from the front"},
    {6430, "turning terrain: lit strips, backdrop, first particles"},
    {7000, "turning terrain: the fountain grown, additive particles"},
    {7001, "turning terrain, the frame after: the ground from its buffers, only the particles sent"},
    {7150, "still terrain: the lit ground from the other view"},
    {7500, "still terrain, later: the same ground, the particles moved on"},
    {7860, "axis star again: the star over the terrain's colour"},
    {8600, "model in the tube: lit mipmapped model, blended cylinder"},
    {10000, "model in the tube, later: the model turned and bobbed"},
    {10001, "model in the tube, the frame after: the model and tube from their buffers"},
    {11430, "credits: the first card"},
};
constexpr double ENOUGH_DB = 40.0;
// A frame this flat would be compared without showing anything: the capture went wrong.
constexpr double LEAST_LUMA_SPREAD = 1.0;

struct Luma {
    int width = 0, height = 0;
    std::vector<double> y;
};

Luma ReadLuma(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Luma luma;
    if (!png_image_begin_read_from_file(&image, path.string().c_str())) return luma;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return luma;
    luma.width = int(image.width);
    luma.height = int(image.height);
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        luma.y.push_back(0.299 * rgb[i] + 0.587 * rgb[i + 1] + 0.114 * rgb[i + 2]);
    return luma;
}

double Psnr(const Luma& a, const Luma& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.y.size(); ++i) sum += (a.y[i] - b.y[i]) * (a.y[i] - b.y[i]);
    const double mse = sum / double(a.y.size());
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

double Spread(const Luma& a) {
    double mean = 0, square = 0;
    for (double v : a.y) mean += v;
    mean /= double(a.y.size());
    for (double v : a.y) square += (v - mean) * (v - mean);
    return std::sqrt(square / double(a.y.size()));
}

fs::path BinaryDir() {
    const char* dir = std::getenv("VREX_BINARY_DIR");
    return dir ? fs::path(dir) : fs::current_path();
}

std::string FrameName(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%05d.png", frame);
    return name;
}

// Both tools run once, with every frame, into pictures/fixed-function and pictures/shaders.
std::string CaptureBoth(const fs::path& fixedDir, const fs::path& shaderDir) {
    const fs::path data = BinaryDir() / "data";
    if (!fs::exists(data / "vulc.raw")) return "no generated data in " + data.string() + " (build the data target)";
    std::string frames, failure;
    for (const Shot& shot : SHOTS) frames += (frames.empty() ? "" : ",") + std::to_string(shot.frame);
    for (auto [tool, dir] : {std::pair{VREX_CAPTURE_TOOL, fixedDir}, std::pair{VREX_CAPTURE_GLES_TOOL, shaderDir}}) {
        fs::remove_all(dir);
        const std::string command = "cd '" + data.string() + "' && SDL_VIDEODRIVER=offscreen '" + tool +
                                    "' --skip-ahead --frames " + frames + " --out '" + dir.string() + "' >/dev/null";
        if (std::system(command.c_str()) != 0) failure += "failed: " + command + "\n";
    }
    return failure;
}

TEST(ShaderPicture, EveryChosenFrameMatchesTheFixedFunctionPicture) {
    const fs::path out = BinaryDir() / "tests" / "gles" / "pictures";
    const fs::path fixedDir = out / "fixed-function", shaderDir = out / "shaders";
    const std::string failure = CaptureBoth(fixedDir, shaderDir);
    ASSERT_TRUE(failure.empty()) << failure;
    for (const Shot& shot : SHOTS) {
        SCOPED_TRACE("frame " + std::to_string(shot.frame) + ": " + shot.shows);
        const Luma fixed = ReadLuma(fixedDir / FrameName(shot.frame));
        const Luma shaders = ReadLuma(shaderDir / FrameName(shot.frame));
        ASSERT_GT(fixed.width, 0) << "no fixed-function frame";
        ASSERT_EQ(shaders.width, fixed.width) << "no matching shader frame";
        ASSERT_EQ(shaders.height, fixed.height);
        ASSERT_GE(Spread(fixed), LEAST_LUMA_SPREAD) << "the frame shows nothing to compare";
        const double db = Psnr(fixed, shaders);
        // Printed for every frame, so a run gives the figures and not only the verdict.
        std::printf("frame %5d  luma PSNR %6.2f dB  %s\n", shot.frame, db, shot.shows);
        EXPECT_GE(db, ENOUGH_DB);
    }
}

}  // namespace
