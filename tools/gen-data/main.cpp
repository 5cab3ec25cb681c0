// vrex-gen-data OUTDIR [FONT]: writes the demo's default data set (all but the music).
// vrex-gen-data --icons 16,32,... OUTDIR: writes the desktop icon as OUTDIR/SIZE.png instead.
#include <vector>

#include "cli/command_line.h"
#include "data_set.h"
#include "icon.h"

int main(int argc, char** argv) {
    CLI::App app{"Writes the demo's default data set (pictures, height map, model and skins) into OUTDIR.",
                 "vrex-gen-data"};
    std::string outdir;
    std::string font = VREX_DATA_FONT;
    std::vector<int> iconSizes;
    app.add_option("OUTDIR", outdir, "folder to write the data set into")->required()->check(NOT_AN_OPTION);
    app.add_option("FONT", font, "TrueType face the title and credits cards are set in")->capture_default_str();
    app.add_option("--icons", iconSizes, "write the desktop icon in these sizes (e.g. 16,32,256) instead")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->check(CLI::Range(1, 1024));
    if (int status = ParseCommandLine(app, argc, argv); status != GO_ON) return status;
    if (!iconSizes.empty()) return WriteIcons(outdir, iconSizes) ? 0 : 1;
    return WriteDataSet(outdir, font) ? 0 : 1;
}
