// video.h - the show as an MP4 file: H.264 pictures and AAC music, written while it is drawn.
//
// The drawing thread (the demo's, with the GL context) reads each frame of the range back
// in the frame observer and hands it to a FrameQueue; a writer thread takes the frames
// out, converts them to yuv420p, encodes them with libx264 and muxes them with the music
// into the file. The queue holds at most a few frames, so drawing and encoding overlap and
// the memory stays bounded whichever side is slower: the faster side waits.
//
//     VideoSettings settings{...};
//     VideoFile file;
//     if (!file.Open(settings, &error)) ...          // the music is checked, the file made
//     file.AddFrame(bgraBottomUp) ... frameCount times (BGRA rows as glReadPixels gives them)
//     file.Finish(&error)                            // or file.Abandon()
//
// The file is written under a temporary name beside the output and renamed to it only by a
// successful Finish; Abandon (or a failed Finish) removes it, so no half-written file ever
// has the output's name. Time: frame i of the range is shown at i / 60 s; the music starts
// with its sample at firstFrame / 60 s, is cut where the video ends with a short fade,
// and silence fills in if the file ends sooner.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

constexpr int VIDEO_FRAME_RATE = 60;         // the show's frame clock at the speed it was made for
constexpr double MUSIC_FADE_SECONDS = 0.25;  // the end of the music, faded instead of cut

struct VideoSettings {
    std::string path;  // the output file
    int width = 0, height = 0;
    // The frames handed to AddFrame, when they are larger than the video: each is scaled down
    // to width x height by averaging the pixels it covers. 0: the video's own size.
    int sourceWidth = 0, sourceHeight = 0;
    int firstFrame = 0;  // the show's frame the video starts with
    int frameCount = 0;
    std::string musicFile;  // empty: no sound
};

// The path the file is written under until it is complete: beside `path`, unique to this process.
std::string TemporaryVideoPath(const std::string& path);

// ---- the music ------------------------------------------------------------------------------
// A stretch of an audio file as planar float stereo at the file's own sample rate: from
// `startSeconds`, exactly `seconds` long, with zeros after the file's end and a linear fade
// over the last fadeSeconds (at most the whole stretch).
class MusicStretch {
public:
    MusicStretch();
    ~MusicStretch();
    // False, with a message naming the file, when it cannot be read or holds no sound.
    bool Open(const std::string& path, double startSeconds, double seconds, double fadeSeconds, std::string* error);
    int SampleRate() const;
    int64_t TotalSamples() const;  // the stretch's length in samples
    // Up to `count` samples into left and right; the number written, 0 once the stretch is
    // over. Damaged frames of the file are skipped, as players do.
    int Read(float* left, float* right, int count);

private:
    struct Decoder;
    std::unique_ptr<Decoder> decoder;
};

// ---- the frames between the threads ---------------------------------------------------------
// A bounded queue of frame buffers: the drawing thread takes an empty buffer (Acquire),
// fills it and queues it (Push); the writer thread takes it out (Pop) and gives it back
// (Release). At most `capacity` buffers exist, so Acquire waits while all are in use.
// Close ends both sides: Acquire and Pop return false once closed (Pop after the queue is
// drained, unless it is closed as failed).
class FrameQueue {
public:
    FrameQueue(int capacity, std::size_t frameBytes);
    bool Acquire(std::vector<uint8_t>* buffer);
    void Push(std::vector<uint8_t>&& buffer);
    bool Pop(std::vector<uint8_t>* buffer);
    void Release(std::vector<uint8_t>&& buffer);
    // No more frames: the writer drains what is queued; with failed, it stops at once and the
    // drawing side is told to stop too.
    void Close(bool failed);
    bool Failed() const;

private:
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<uint8_t>> queued, spare;
    int buffersOut = 0;  // buffers made and not in `spare`
    int capacity;
    std::size_t frameBytes;
    bool closed = false, failed = false;
};

// ---- the file -------------------------------------------------------------------------------
class VideoFile {
public:
    VideoFile();
    ~VideoFile();  // abandons a file that was not finished
    bool Open(const VideoSettings& settings, std::string* error);
    // One frame: BGRA pixels of the source size (the video's own by default), bottom row
    // first. False on a write error.
    bool AddFrame(const uint8_t* bgra);
    bool Finish(std::string* error);
    void Abandon();
    std::string Error() const;  // what went wrong in AddFrame

private:
    struct Streams;
    std::unique_ptr<Streams> streams;
};

// ---- progress -------------------------------------------------------------------------------
// "frame 1234/18573  312 fps  0:45 left": frames done of the total, the rate so far and the
// time left at that rate ("--:--" before there is a rate).
std::string ProgressLine(int done, int total, double elapsedSeconds);
