// inspect_support.cpp - the tool run through the shell, and the test files built from bytes.
#include "inspect_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>

#include "writers/model3ds_writer.h"

namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

void RunShell(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

}  // namespace

ToolRun RunInspect(const std::vector<std::string>& arguments) {
    std::string command = ShellQuoted(VREX_INSPECT_TOOL);
    for (const std::string& argument : arguments) command += " " + ShellQuoted(argument);
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::string output;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    const int status = pclose(pipe);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    size_t start = 0;
    for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
        run.lines.push_back(output.substr(start, end - start));
    if (start < output.size()) run.lines.push_back(output.substr(start));  // unterminated
    return run;
}

Json LineJson(const ToolRun& run, size_t index) {
    if (index >= run.lines.size()) {
        ADD_FAILURE() << "no line " << index;
        return {};
    }
    std::optional<Json> json = ParseJson(run.lines[index]);
    if (!json) ADD_FAILURE() << "not JSON: " << run.lines[index];
    return json.value_or(Json{});
}

Scratch::Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vrex_inspect.XXXXXX").string();
    path_ = mkdtemp(pattern.data());
}

Scratch::~Scratch() { std::filesystem::remove_all(path_); }

std::string Scratch::Write(const std::string& name, const Bytes& bytes) const {
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes TgaFile(uint16_t width, uint16_t height, uint8_t bits, const Bytes& pixels) {
    Bytes file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutU16(file, width);
    PutU16(file, height);
    file.push_back(bits);
    file.push_back(0);  // descriptor
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

Bytes TinyTga() { return TgaFile(2, 2, 24, Bytes(12, 0x80)); }

Bytes Bmp24(int32_t width, int32_t height, const std::vector<Bytes>& rows) {
    constexpr uint32_t HEADERS = 14 + 40;
    Bytes pixels;
    for (Bytes row : rows) {
        while (row.size() % 4) row.push_back(0);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    Bytes file = {'B', 'M'};
    PutU32(file, uint32_t(HEADERS + pixels.size()));
    PutU32(file, 0);
    PutU32(file, HEADERS);
    PutU32(file, 40);
    PutU32(file, uint32_t(width));
    PutU32(file, uint32_t(height));
    PutU16(file, 1);                              // planes
    PutU16(file, 24);                             // bits per pixel
    for (int i = 0; i < 6; ++i) PutU32(file, 0);  // no compression, sizes, resolutions, palette
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

Bytes TinyBmp() { return Bmp24(2, 2, {Bytes{1, 2, 3, 4, 5, 6}, Bytes{7, 8, 9, 10, 11, 12}}); }

Bytes TinyModel(const std::string& texture) {
    using namespace writer3ds;
    return Document({
        MaterialEntry("skin", {10, 20, 30}, texture),
        Object("dino", {TriangleMesh({
                           VertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                           FaceList({{0, 1, 2, 7}}, {FaceMaterial("skin", {0})}),
                           MappingList({{0, 0}, {1, 0}, {0, 1}}),
                       })}),
    });
}

Bytes HeightMap(size_t size) {
    Bytes map(size);
    for (size_t k = 0; k < size; ++k) map[k] = uint8_t(k * 7);
    return map;
}

Bytes ToneMp3() {
    Scratch scratch;
    const std::string wav = scratch.Path("tone.wav");
    const std::string mp3 = scratch.Path("tone.mp3");
    RunShell(ShellQuoted(SOX) + " -D -n -r 44100 -c 1 -b 16 " + ShellQuoted(wav) + " synth 0.2 sine 440");
    RunShell(ShellQuoted(LAME) + " --quiet " + ShellQuoted(wav) + " " + ShellQuoted(mp3));
    return ReadBytes(mp3);
}
