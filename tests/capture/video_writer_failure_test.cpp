// The video export's drawing side against a writer whose disk fills up on a chosen frame: the
// tool must stop drawing within a few frames of the failure, not draw the rest of the range
// (the whole show by default, minutes) before it reports it. The file here is a stand-in that
// accepts a fixed number of frames and then fails as a full disk does; the show is the real
// one, drawn offscreen in this process, and the frames drawn are the demo's own count.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "scenes/timeline.h"
#include "tools/capture/capture.h"
#include "tools/capture/video.h"

namespace fs = std::filesystem;
using testing::HasSubstr;

namespace {

constexpr int FRAMES_THE_DISK_HOLDS = 20;
constexpr const char* FULL_DISK = "cannot write show.mp4: No space left on device";
// The queue's eight buffers let the drawing run ahead of the writer, one of them the buffer
// the failing frame gives back; the frame that then finds the queue closed is drawn too.
constexpr int FRAMES_DRAWN_AHEAD_AT_MOST = 10;

}  // namespace

struct VideoFile::Streams {
    int framesAdded = 0;
    std::string error;
};

VideoFile::VideoFile() = default;
VideoFile::~VideoFile() = default;

bool VideoFile::Open(const VideoSettings&, std::string*) {
    streams = std::make_unique<Streams>();
    return true;
}

bool VideoFile::AddFrame(const uint8_t*) {
    if (streams->framesAdded == FRAMES_THE_DISK_HOLDS) {
        streams->error = FULL_DISK;
        return false;
    }
    ++streams->framesAdded;
    return true;
}

bool VideoFile::Finish(std::string* error) {
    *error = "the range was finished after its writer had failed";
    return false;
}

void VideoFile::Abandon() { streams.reset(); }

std::string VideoFile::Error() const { return streams ? streams->error : std::string(); }

namespace {

TEST(VideoWriterFailure, DrawingStopsWithinAFewFramesOfAFullDisk) {
    const char* binary = std::getenv("VREX_BINARY_DIR");
    fs::path data = fs::path(binary ? binary : ".") / "data";
    if (!fs::exists(data / "vulc.raw")) GTEST_SKIP() << "no generated data in " << data;
    fs::current_path(data);

    // A range that does not start the show: its frames before the range are drawn too.
    constexpr int FIRST = 30, LAST = 269;
    CaptureOptions options;
    options.video = "show.mp4";
    options.width = 160;
    options.height = 120;
    options.music = false;
    std::string error;
    ASSERT_TRUE(ParseFrameList(std::to_string(FIRST) + "-" + std::to_string(LAST), &options.frames, &error));
    testing::internal::CaptureStderr();
    int status = RecordVideo(options);
    std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_EQ(status, 1) << errors;
    EXPECT_THAT(errors, HasSubstr(FULL_DISK));
    EXPECT_LE(g_frameCounter, FIRST + FRAMES_THE_DISK_HOLDS + FRAMES_DRAWN_AHEAD_AT_MOST)
        << "frames drawn after the writer had failed, of a range ending at " << LAST;
}

}  // namespace
