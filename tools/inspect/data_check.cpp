// data_check.cpp - the whole data set the demo opens at start-up, one table row per file.
#include <algorithm>

#include "platform/fake_platform.h"
#include "resources/demo_images.h"
#include "tools/inspect/inspect.h"

namespace {

// The names are the demo's exact ones: a file that differs only in case is missing too,
// as it is to the demo on a case-sensitive file system.
CheckRow CheckFile(const std::filesystem::path& directory, const char* name,
                   std::string (*check)(const std::filesystem::path&)) {
    const std::filesystem::path path = directory / name;
    if (!std::filesystem::exists(path)) return {name, "missing", ""};
    fake::Reset();
    return {name, check(path), ""};
}

}  // namespace

std::string FirstMessageText(const std::string& fallback) {
    if (fake::g_messageBoxes.empty()) return fallback;
    std::string text = fake::g_messageBoxes.front().text;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::vector<CheckRow> CheckDataSet(const std::filesystem::path& directory) {
    fake::Reset();
    std::vector<CheckRow> rows = CheckModel(directory, DEMO_MODEL_FILE);
    rows.push_back(CheckFile(directory, DEMO_HEIGHT_MAP_FILE, CheckRaw));
    for (const char* image : DEMO_IMAGE_FILES) rows.push_back(CheckFile(directory, image, CheckTga));
    rows.push_back(CheckFile(directory, DEMO_MUSIC_FILE, CheckMp3));
    return rows;
}

std::string FormatCheckTable(const std::vector<CheckRow>& rows) {
    size_t width = 0;
    for (const CheckRow& row : rows) width = std::max(width, row.name.size());
    std::string table;
    for (const CheckRow& row : rows) {
        table += row.name + std::string(width - row.name.size() + 2, ' ');
        if (!row.problem.empty())
            table += row.problem;
        else if (!row.note.empty())
            table += "ok (" + row.note + ")";
        else
            table += "ok";
        table += '\n';
    }
    return table;
}

bool AnyProblem(const std::vector<CheckRow>& rows) {
    return std::any_of(rows.begin(), rows.end(), [](const CheckRow& row) { return !row.problem.empty(); });
}
