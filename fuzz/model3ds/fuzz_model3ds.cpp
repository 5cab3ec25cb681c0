// Any bytes as a model file: the reader must end, stay in bounds and free what it made.
#include <cstdint>
#include <cstddef>

#include "model3ds/model.h"
#include "platform/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fake::Reset();  // the fake records every message box; keep the record from growing
    Model model;
    g_modelLoader.ImportBytes(model, data, size, "fuzz input");
    ReleaseModel(model);
    return 0;
}
