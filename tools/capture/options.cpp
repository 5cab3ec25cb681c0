// The command line of vrex-capture and the rules that tie its options together.
#include <cstdio>

#include "cli/command_line.h"
#include "tools/capture/capture.h"

namespace {

constexpr int MIN_WIDTH = 160;
constexpr int MAX_WIDTH = 4096;

// Reads a positive decimal number of at most five digits at text[*at].
bool ReadSide(const std::string& text, std::size_t* at, int* value) {
    std::size_t start = *at;
    *value = 0;
    while (*at < text.size() && *at - start < 5 && text[*at] >= '0' && text[*at] <= '9')
        *value = *value * 10 + (text[(*at)++] - '0');
    return *at > start;
}

// The rules no single option can check; a broken one is a mistake of the command line.
void CheckCombination(const CaptureOptions& options, bool framesGiven) {
    bool video = !options.video.empty();
    if (!video && !options.bench && options.frames.empty())
        throw CLI::ValidationError("nothing to do: give --frames with --out, --video or --bench");
    if (options.skipAhead && options.frames.empty())
        throw CLI::ValidationError("--skip-ahead needs --frames to skip ahead to");
    if (!video && !options.bench && !options.frames.empty() && options.directory.empty())
        throw CLI::ValidationError("--frames needs --out DIR to write its PNG files in (or --video FILE)");
    if (video && framesGiven) {
        int first = *options.frames.begin(), last = *options.frames.rbegin();
        if (int(options.frames.size()) != last - first + 1)
            throw CLI::ValidationError("--video takes one range of frames, e.g. 4286-8571");
        if (last > SHOW_END_FRAME)
            throw CLI::ValidationError("the show ends at frame " + std::to_string(SHOW_END_FRAME) +
                                       "; --frames goes to " + std::to_string(last));
    }
}

}  // namespace

bool ParseFrameSize(const std::string& text, int* width, int* height, std::string* error) {
    std::size_t at = 0;
    int w = 0, h = 0;
    if (!ReadSide(text, &at, &w) || at >= text.size() || text[at++] != 'x' || !ReadSide(text, &at, &h) ||
        at != text.size()) {
        *error = "expected WIDTHxHEIGHT, e.g. 1440x1080, not \"" + text + "\"";
        return false;
    }
    if (w * 3 != h * 4 || w % 2 || h % 2 || w < MIN_WIDTH || w > MAX_WIDTH) {
        *error = "the size must be 4:3 like the show, both sides even, from 160x120 to 4096x3072, not " + text;
        return false;
    }
    *width = w;
    *height = h;
    return true;
}

int ReadCaptureOptions(int argc, char** argv, CaptureOptions* options) {
    CLI::App app{"Draws the vrex show offscreen, from frame 0, and writes chosen frames as PNG files or "
                 "the show as an MP4 video with its music. Run it in a data directory, as the demo runs.",
                 "vrex-capture"};
    app.get_formatter()->column_width(28);
    app.add_option_function<std::string>(
           "--frames",
           [options](const std::string& text) {
               std::string error;
               if (!ParseFrameList(text, &options->frames, &error)) throw CLI::ValidationError("--frames", error);
           },
           "frame numbers and ranges from frame 0, e.g. 1,2858,4286-4290; with --video one range "
           "(default 0-18572, the whole show)")
        ->type_name("LIST");
    app.add_option("--out", options->directory, "folder for the frame_NNNNN.png files")
        ->type_name("DIR")
        ->check(NOT_AN_OPTION);
    app.add_option("--video", options->video, "write the frames as an H.264 MP4 video with the music")
        ->type_name("FILE")
        ->check(NOT_AN_OPTION)
        ->excludes("--out");
    app.add_option_function<std::string>(
           "--size",
           [options](const std::string& text) {
               std::string error;
               if (!ParseFrameSize(text, &options->width, &options->height, &error))
                   throw CLI::ValidationError("--size", error);
           },
           "draw and read back at this 4:3 size instead of 800x600, e.g. 1440x1080")
        ->type_name("WxH");
    app.add_flag(
           "--no-audio", [options](std::int64_t) { options->music = false; }, "leave the music out of the video")
        ->needs("--video");
    app.add_flag("--bench", options->bench,
                 "draw the whole show; print milliseconds per frame of each scene row, or with --video "
                 "the drawing and encoding speeds");
    app.add_flag("--skip-ahead", options->skipAhead,
                 "reach each chosen frame as vrex --start does, drawing only the frames whose state carries "
                 "over, instead of every frame before it; with --bench only the chosen frames are timed")
        ->excludes("--video");
    app.callback([options, &app] { CheckCombination(*options, app.count("--frames") > 0); });
    return ParseCommandLine(app, argc, argv);
}
