// Any bytes as a model file: the reader must end, stay in bounds and free what it made.
// The input is written to a temporary file because the reader reads files, as the demo does.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model3ds/model.h"
#include "platform/fake_platform.h"

namespace {

std::string g_path;

void RemoveTempFile() { std::remove(g_path.c_str()); }

const std::string& TempFile() {
    if (g_path.empty()) {
        char name[] = "/tmp/fuzz_model3ds_XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        g_path = name;
        std::atexit(RemoveTempFile);
    }
    return g_path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = TempFile();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) std::abort();
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);

    fake::Reset();  // the fake records every message box; keep the record from growing
    Model model;
    g_modelLoader.Import(model, path.c_str());
    ReleaseModel(model);
    return 0;
}
