// vrex-gen-data OUTDIR [FONT]: writes the demo's default data set (all but the music).
#include "cli/command_line.h"
#include "data_set.h"

int main(int argc, char** argv)
{
    CLI::App app{"Writes the demo's default data set (pictures, height map, model and skins) into OUTDIR.",
                 "vrex-gen-data"};
    std::string outdir;
    std::string font = VREX_DATA_FONT;
    app.add_option("OUTDIR", outdir, "folder to write the data set into")->required()->check(NOT_AN_OPTION);
    app.add_option("FONT", font, "TrueType face the title and credits cards are set in")->capture_default_str();
    if (int status = ParseCommandLine(app, argc, argv); status != GO_ON) return status;
    return WriteDataSet(outdir, font) ? 0 : 1;
}
