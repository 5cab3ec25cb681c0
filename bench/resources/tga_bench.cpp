// TGA decode throughput against a plain read of the same bytes, on a 512 x 512 image (the
// demo's largest size) at 24 and 32 bits. The difference is the loader's own work: the header
// checks and the red/blue swap; the file itself comes from the page cache in both.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "resources/textures.h"

namespace {

constexpr int SIDE = 512;

// Writes the image once per depth and removes it at exit.
class TgaFile {
public:
    explicit TgaFile(int bits) {
        std::string pattern = (std::filesystem::temp_directory_path() / "bench_tga.XXXXXX").string();
        const int descriptor = mkstemp(pattern.data());
        path_ = pattern;
        std::vector<unsigned char> bytes(TGA_UNCOMPRESSED_HEADER, TGA_UNCOMPRESSED_HEADER + 12);
        for (int b : {SIDE & 0xFF, SIDE >> 8, SIDE & 0xFF, SIDE >> 8, bits, 0}) bytes.push_back((unsigned char)b);
        for (size_t i = 0; i < size_t(SIDE) * SIDE * (bits / 8); ++i) bytes.push_back((unsigned char)(i * 31));
        if (write(descriptor, bytes.data(), bytes.size()) != ssize_t(bytes.size())) std::abort();
        close(descriptor);
        size_ = bytes.size();
    }
    ~TgaFile() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }
    size_t size() const { return size_; }

private:
    std::string path_;
    size_t size_ = 0;
};

const TgaFile& FileOf(int bits) {
    static const TgaFile file24(24), file32(32);
    return bits == 24 ? file24 : file32;
}

void BM_DecodeTgaFile(benchmark::State& state) {
    const TgaFile& file = FileOf(int(state.range(0)));
    for (auto _ : state) {
        TextureImage image = {};
        if (DecodeTgaFile(&image, file.path()) != TgaStatus::Ok) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.pixels);
        std::free(image.pixels);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}

// The floor: open, one malloc, one fread of the whole file, close.
void BM_PlainRead(benchmark::State& state) {
    const TgaFile& file = FileOf(int(state.range(0)));
    for (auto _ : state) {
        FILE* in = std::fopen(file.path(), "rb");
        auto* bytes = static_cast<unsigned char*>(std::malloc(file.size()));
        if (std::fread(bytes, 1, file.size(), in) != file.size()) state.SkipWithError("short read");
        benchmark::DoNotOptimize(bytes);
        std::free(bytes);
        std::fclose(in);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}

BENCHMARK(BM_DecodeTgaFile)->Arg(24)->Arg(32);
BENCHMARK(BM_PlainRead)->Arg(24)->Arg(32);

}  // namespace

BENCHMARK_MAIN();
