// inspect.h - vrex-inspect: what the demo's own readers make of data files.
//
//     vrex-inspect [--pixels-out FILE] PATH...
//     vrex-inspect --check DIR
//
// Each PATH is read by the reader its extension picks (.tga, .bmp, .3ds, .raw, any case),
// with the recording platform layer linked in place of the real one, so the message boxes a
// reader shows are collected instead of shown. One JSON object per line and per PATH:
//     "file", "kind", "ok", "messages": [{"caption", "text"}, ...]   always, in this order
//     tga  "width", "height", "bitsPerPixel": as the decoder left the record, null if untouched
//     bmp  "width", "height": of the RgbImage, null when nothing came back
//     raw  "entries": 262144, "remark": the inspector's own note on a length other than
//          262,144 bytes (null when exact); "messages" stays what the demo shows, nothing
//     3ds  "materials": [{"name", "textureFile", "colour"}], "objects": [{"name",
//          "vertexCount", "faceCount", "texCoordCount", "materialIndex", "hasTexture",
//          "vertices", "faces", "texCoords" (null without a mapping list), "normals"}]
// Floats carry 9 significant digits (enough to give back the same 32-bit float); vertices
// are in the demo's axes, as the reader stores them. With --pixels-out (one PATH only) the
// decoded pixels of a file that loaded are written raw to FILE: TGA the buffer after the
// red/blue swap, BMP the RgbImage's R, G, B rows in file order, raw the 262,144 entries as
// one byte each; a 3DS file has no pixels and writes nothing. Exit status 0 when every file
// loaded, 1 otherwise, 2 for a bad command line.
//
// --check DIR runs the data set the demo opens at start-up through the same readers and
// prints a table, one row per file, "ok" or the problem; exit status 1 on any problem.
//
// Choices where "loaded" needs a meaning the readers do not give:
// - raw: the height map reader never fails; any file it can open is ok, a short one too (the
//   entries past its end repeat its last byte, as the demo holds them), and its pixels are
//   those entries. Only a file that cannot be opened is not ok. The check still wants
//   exactly 262,144 bytes.
// - A name with an unknown extension gets a line with "kind": null and "ok": false.
// - JSON strings are the reader's bytes: valid UTF-8 passes through, any other byte is
//   written as the Latin-1 character of its value, so every line stays valid JSON.
// - Floats that are not finite (NaN or infinite vertices in a file) are written as null.
// - The check also counts as problems a model that loads with no objects (the demo would
//   show nothing) and the model reader's warning is shown next to "ok" without failing it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/inspect/json_writer.h"

// What reading one file gave: success, the kind's own JSON members, and its pixels.
struct Inspection {
    bool ok = false;
    JsonValue members = JsonValue::object();  // written after the common members, in their order
    std::vector<uint8_t> pixels;              // filled only when ok and pixels were asked for
};

// One reader per kind (tga_kind.cpp, bmp_kind.cpp, model_kind.cpp, raw_kind.cpp). The
// platform's recording must be reset before each call; the message boxes stay in it.
Inspection InspectTga(const std::string& path, bool wantPixels);
Inspection InspectBmp(const std::string& path, bool wantPixels);
Inspection InspectModel(const std::string& path, bool wantPixels);
Inspection InspectRaw(const std::string& path, bool wantPixels);

// ---- the data set check (data_check.cpp and one check per kind) -------------------------
// One row of the table: the file's name as the demo opens it, and its result.
struct CheckRow {
    std::string name;
    std::string problem;  // empty: the file is fine
    std::string note;     // shown after "ok" (a warning that does not stop the demo)
};

// The file names the demo opens, relative to its working directory (the pictures' names are
// DEMO_IMAGE_FILES, resources/demo_images.h).
constexpr const char* DEMO_MODEL_FILE = "dinos.3ds";
constexpr const char* DEMO_HEIGHT_MAP_FILE = "vulc.raw";
constexpr const char* DEMO_MUSIC_FILE = "musika.mp3";

// Each returns the problem, or an empty string when the file is fine.
std::string CheckTga(const std::filesystem::path& path);
std::string CheckBmp(const std::filesystem::path& path);
std::string CheckRaw(const std::filesystem::path& path);
std::string CheckMp3(const std::filesystem::path& path);
// The model's row, then one row per distinct texture file its materials name (resolved
// against `directory`, as the demo resolves them against its working directory).
std::vector<CheckRow> CheckModel(const std::filesystem::path& directory, const std::string& name);

// Every row of the data set in `directory`, in the order the demo loads the files.
std::vector<CheckRow> CheckDataSet(const std::filesystem::path& directory);
// The table as printed: one line per row, names in one column.
std::string FormatCheckTable(const std::vector<CheckRow>& rows);
bool AnyProblem(const std::vector<CheckRow>& rows);

// The text of the first message box recorded since the last reset, without a trailing line
// break; `fallback` when there was none.
std::string FirstMessageText(const std::string& fallback);
