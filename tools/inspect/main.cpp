// vrex-inspect: the command line; see inspect.h.
#include <cctype>
#include <cstdio>
#include <fstream>

#include "cli/command_line.h"
#include "platform/fake_platform.h"
#include "tools/inspect/inspect.h"

namespace {

constexpr int EXIT_ALL_LOADED = 0;
constexpr int EXIT_SOME_FAILED = 1;

struct Kind {
    const char* extension;  // lower case, with its dot
    const char* name;
    Inspection (*inspect)(const std::string& path, bool wantPixels);
    bool hasPixels;  // what --pixels-out writes; a model has none
};

constexpr Kind KINDS[] = {
    {".tga", "tga", InspectTga, true},
    {".bmp", "bmp", InspectBmp, true},
    {".3ds", "3ds", InspectModel, false},
    {".raw", "raw", InspectRaw, true},
};

const Kind* KindOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const Kind& kind : KINDS)
        if (extension == kind.extension) return &kind;
    return nullptr;
}

JsonValue Messages() {
    JsonValue messages = JsonValue::array();
    for (const fake::MessageBoxShown& box : fake::g_messageBoxes)
        messages.push_back({{"caption", box.caption}, {"text", box.text}});
    return messages;
}

bool WritePixels(const std::string& fileName, const std::vector<uint8_t>& pixels) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(pixels.data()), std::streamsize(pixels.size()));
    return bool(out);
}

// Prints the file's line; true when it loaded (and its pixels, if asked for, were written).
bool InspectFile(const std::string& path, const char* pixelsOut) {
    fake::Reset();
    const Kind* kind = KindOf(path);
    Inspection inspection;
    if (kind) inspection = kind->inspect(path, pixelsOut != nullptr);

    JsonValue line = {{"file", path},
                      {"kind", kind ? JsonValue(kind->name) : JsonValue(nullptr)},
                      {"ok", inspection.ok},
                      {"messages", Messages()}};
    for (const auto& member : inspection.members.items()) line[member.key()] = member.value();
    std::printf("%s\n", JsonLine(line).c_str());

    if (!kind) std::fprintf(stderr, "vrex-inspect: %s: not a .tga, .bmp, .3ds or .raw file\n", path.c_str());
    if (inspection.ok && pixelsOut && kind->hasPixels && !WritePixels(pixelsOut, inspection.pixels)) {
        std::fprintf(stderr, "vrex-inspect: cannot write %s\n", pixelsOut);
        return false;
    }
    return inspection.ok;
}

int CheckDirectory(const std::string& directory) {
    const std::vector<CheckRow> rows = CheckDataSet(directory);
    std::fputs(FormatCheckTable(rows).c_str(), stdout);
    return AnyProblem(rows) ? EXIT_SOME_FAILED : EXIT_ALL_LOADED;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"What the demo's own readers make of data files: one JSON line per PATH.", "vrex-inspect"};
    std::string checkDir;
    std::string pixelsOut;
    std::vector<std::string> paths;
    CLI::Option* check =
        app.add_option("--check", checkDir, "check the data set in DIR file by file as the demo would load it");
    CLI::Option* pixels =
        app.add_option("--pixels-out", pixelsOut, "write the decoded pixels of the one PATH to FILE (not for .3ds)");
    pixels->type_name("FILE")->check(NOT_AN_OPTION);
    check->type_name("DIR");
    app.add_option("PATH", paths, "a .tga, .bmp, .3ds or .raw file");
    check->excludes(pixels);
    app.footer("Exit status: 0 when every file loaded, 1 otherwise, 2 for a bad command line.");
    app.callback([&] {
        if (check->count() != 0 && !paths.empty()) throw CLI::ExtrasError(paths);
        if (check->count() == 0 && paths.empty()) throw CLI::RequiredError("PATH");
        if (pixels->count() != 0 && paths.size() != 1)
            throw CLI::ValidationError("--pixels-out", "takes exactly one PATH");
    });
    if (int status = ParseCommandLine(app, argc, argv); status != GO_ON) return status;

    if (check->count() != 0) return CheckDirectory(checkDir);
    bool allLoaded = true;
    for (const std::string& path : paths)
        allLoaded = InspectFile(path, pixels->count() != 0 ? pixelsOut.c_str() : nullptr) && allLoaded;
    return allLoaded ? EXIT_ALL_LOADED : EXIT_SOME_FAILED;
}
