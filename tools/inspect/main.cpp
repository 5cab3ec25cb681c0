// vrex-inspect: the command line; see inspect.h.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/fake_platform.h"
#include "tools/inspect/inspect.h"

namespace {

constexpr int EXIT_ALL_LOADED = 0;
constexpr int EXIT_SOME_FAILED = 1;
constexpr int EXIT_USAGE = 2;

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

    JsonValue line = {{"file", path}, {"kind", kind ? JsonValue(kind->name) : JsonValue(nullptr)}, {"ok", inspection.ok},
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

int CheckDirectory(const char* directory) {
    const std::vector<CheckRow> rows = CheckDataSet(directory);
    std::fputs(FormatCheckTable(rows).c_str(), stdout);
    return AnyProblem(rows) ? EXIT_SOME_FAILED : EXIT_ALL_LOADED;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: vrex-inspect [--pixels-out FILE] PATH...\n"
                 "       vrex-inspect --check DIR\n"
                 "  PATH  a .tga, .bmp, .3ds or .raw file; one JSON line is printed for each\n"
                 "  FILE  receives the decoded pixels of the one PATH (not for .3ds)\n"
                 "  DIR   a data directory, checked file by file as the demo would load it\n");
    return EXIT_USAGE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--check") == 0) {
        if (argc != 3) return Usage();
        return CheckDirectory(argv[2]);
    }
    int first = 1;
    const char* pixelsOut = nullptr;
    if (argc >= 2 && std::strcmp(argv[1], "--pixels-out") == 0) {
        if (argc < 3) return Usage();
        pixelsOut = argv[2];
        first = 3;
    }
    if (first < argc && std::strcmp(argv[first], "--") == 0) ++first;
    const int pathCount = argc - first;
    if (pathCount < 1 || (pixelsOut && pathCount != 1)) return Usage();

    bool allLoaded = true;
    for (int i = first; i < argc; ++i) allLoaded = InspectFile(argv[i], pixelsOut) && allLoaded;
    return allLoaded ? EXIT_ALL_LOADED : EXIT_SOME_FAILED;
}
