// data_set.h - the demo's default data set, generated from code and one font.
//
// The demo opens its data by bare name from its working directory. This generator makes
// every file it needs except the music:
//   thirteen TGA pictures  DEMO_IMAGES (resources/demo_images.h), grasmap.TGA to vokra.TGA
//   the height map         vulc.raw
//   the model              dinos.3ds, with its skins sauropod.bmp and theropod.bmp
// Usage: vrex-gen-data OUTDIR [FONT]  (FONT defaults to the DejaVu face the build found).
//
// The output depends on nothing but the code and the font: no clock, no unseeded random
// numbers, no iteration over unordered containers, so two runs give byte-identical files.
// Each file has its own maker, so a test or a benchmark can make one file alone.
#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "writers/byte_writer.h"

struct DataFileMaker {
    const char* name;
    Bytes (*make)(const std::string& fontPath);
};

// Every file of the data set, in a fixed order.
std::span<const DataFileMaker> DataFileMakers();

// The maker of the named file, or null.
const DataFileMaker* FindDataFileMaker(const std::string& name);

// Makes every file into `directory` (created if missing); false if any file cannot be written.
bool WriteDataSet(const std::filesystem::path& directory, const std::string& fontPath);
