// The video export run for the tests, and its file read back through libavformat.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

#include "tests/capture/video_show.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::set<int> PngFrames(const std::set<int>& more) {
    std::set<int> frames = more;
    for (const ComparedFrame& compared : COMPARED_FRAMES)
        frames.insert({compared.frame - 1, compared.frame, compared.frame + 1});
    frames.insert(std::begin(STATE_FRAMES), std::end(STATE_FRAMES));
    return frames;
}

std::set<int> ScreenshotFrames(const std::string& script) {
    std::set<int> frames;
    FILE* list = popen(("'" + script + "' --list").c_str(), "r");
    if (!list) return frames;
    char name[64];
    int frame = 0;
    while (std::fscanf(list, "%63s %d", name, &frame) == 2) frames.insert(frame);
    pclose(list);
    return frames;
}

std::string FrameListText(const std::set<int>& frames) {
    std::string list;
    for (int frame : frames) list += (list.empty() ? "" : ",") + std::to_string(frame);
    return list;
}

pid_t StartTool(const fs::path& directory, const std::vector<std::string>& args, const fs::path& errorsFile,
                long fileSizeLimit) {
    std::vector<std::string> words = {VREX_CAPTURE_TOOL};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid != 0) return pid;
    // The child: only calls that are safe between fork and exec.
    int errors = open(errorsFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int nothing = open("/dev/null", O_WRONLY);
    if (errors < 0 || nothing < 0 || chdir(directory.c_str()) != 0) _exit(126);
    dup2(errors, STDERR_FILENO);
    dup2(nothing, STDOUT_FILENO);
    if (fileSizeLimit > 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    execv(argv[0], argv.data());
    _exit(127);
}

ToolRun WaitForTool(pid_t pid, const fs::path& errorsFile) {
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream errors(errorsFile);
    std::stringstream text;
    text << errors.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), text.str()};
}

ToolRun RunTool(const fs::path& directory, const std::vector<std::string>& args, long fileSizeLimit) {
    fs::path errors = fs::temp_directory_path() / ("vrex_tool_errors_" + std::to_string(getpid()));
    ToolRun run = WaitForTool(StartTool(directory, args, errors, fileSizeLimit), errors);
    fs::remove(errors);
    return run;
}

fs::path ShowDataDirectory() {
    const char* binary = std::getenv("VREX_BINARY_DIR");
    return fs::path(binary ? binary : ".") / "data";
}

std::string MissingShowData() {
    for (const char* file : {"vulc.raw", "all.TGA", "dinos.3ds", "musika.mp3"})
        if (!fs::exists(ShowDataDirectory() / file))
            return "no generated data: " + (ShowDataDirectory() / file).string();
    return "";
}

bool ExportVideoShowInto(const fs::path& out, const std::set<int>& moreStills) {
    fs::create_directories(out);
    fs::path directory = fs::absolute(out);
    ToolRun run = RunTool(ShowDataDirectory(),
                          {"--video", (directory / "show.mp4").string(), "--video-size", VIDEO_TEST_SIZE, "--stills",
                           FrameListText(PngFrames(moreStills)), "--out", (directory / "png").string()});
    if (run.status != 0) std::fprintf(stderr, "vrex-capture ended with %d:\n%s", run.status, run.errors.c_str());
    return run.status == 0;
}

namespace {

// The export this process made itself, removed when it ends.
struct OwnExport {
    fs::path directory = fs::temp_directory_path() / ("vrex_video_show_" + std::to_string(getpid()));
    OwnExport() { ExportVideoShowInto(directory); }
    ~OwnExport() { fs::remove_all(directory); }
};

struct Input {
    AVFormatContext* format = nullptr;
    explicit Input(const fs::path& path) {
        if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0 ||
            avformat_find_stream_info(format, nullptr) < 0)
            avformat_close_input(&format);
    }
    ~Input() { avformat_close_input(&format); }
};

struct Decoder {
    AVCodecContext* codec = nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    Decoder(const AVStream* stream) {
        const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
        codec = avcodec_alloc_context3(decoder);
        avcodec_parameters_to_context(codec, stream->codecpar);
        codec->pkt_timebase = stream->time_base;
        if (avcodec_open2(codec, decoder, nullptr) < 0) avcodec_free_context(&codec);
    }
    ~Decoder() {
        avcodec_free_context(&codec);
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
    // Every frame of `stream`, in order, to `use`.
    template <typename Use>
    void DecodeAll(AVFormatContext* format, int stream, Use use) {
        if (!codec) return;
        auto drain = [&] {
            while (avcodec_receive_frame(codec, frame) == 0) use(frame);
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == stream) {
                avcodec_send_packet(codec, packet);
                drain();
            }
            av_packet_unref(packet);
        }
        avcodec_send_packet(codec, nullptr);
        drain();
    }
};

// The offset of the first top-level box of `type`, or -1.
long BoxOffset(const fs::path& path, const char* type) {
    std::ifstream file(path, std::ios::binary);
    long offset = 0;
    unsigned char header[16];
    while (file.read(reinterpret_cast<char*>(header), 8)) {
        uint64_t size = uint64_t(header[0]) << 24 | uint64_t(header[1]) << 16 | uint64_t(header[2]) << 8 | header[3];
        if (std::string(reinterpret_cast<char*>(header) + 4, 4) == type) return offset;
        if (size == 1) {  // a 64-bit size follows
            if (!file.read(reinterpret_cast<char*>(header + 8), 8)) return -1;
            size = 0;
            for (int i = 8; i < 16; ++i) size = size << 8 | header[i];
        }
        if (size < 8) return -1;
        offset += long(size);
        file.seekg(offset);
    }
    return -1;
}

}  // namespace

fs::path VideoShowDirectory() {
    if (const char* fixture = std::getenv("VREX_VIDEO_SHOW")) return fixture;
    static OwnExport own;
    return own.directory;
}

VideoFacts ReadVideoFacts(const fs::path& path) {
    VideoFacts facts;
    Input input(path);
    if (!input.format) return facts;
    facts.opened = true;
    int video = av_find_best_stream(input.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    int audio = av_find_best_stream(input.format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (video >= 0) {
        const AVStream* stream = input.format->streams[video];
        facts.videoCodec = avcodec_get_name(stream->codecpar->codec_id);
        const char* format = av_get_pix_fmt_name(AVPixelFormat(stream->codecpar->format));
        facts.pixelFormat = format ? format : "";
        facts.width = stream->codecpar->width;
        facts.height = stream->codecpar->height;
        facts.frameRate = av_q2d(stream->avg_frame_rate);
        facts.videoSeconds = double(stream->duration) * av_q2d(stream->time_base);
    }
    if (audio >= 0) {
        const AVStream* stream = input.format->streams[audio];
        facts.hasAudio = true;
        facts.audioCodec = avcodec_get_name(stream->codecpar->codec_id);
        facts.sampleRate = stream->codecpar->sample_rate;
        facts.audioSeconds = double(stream->duration) * av_q2d(stream->time_base);
    }
    int64_t samples = 0;
    AVPacket* packet = av_packet_alloc();
    if (audio >= 0) {
        Decoder decoder(input.format->streams[audio]);
        decoder.DecodeAll(input.format, audio, [&](const AVFrame* frame) { samples += frame->nb_samples; });
        facts.decodedAudioSeconds = facts.sampleRate ? double(samples) / facts.sampleRate : 0;
        av_seek_frame(input.format, -1, 0, AVSEEK_FLAG_BACKWARD);
    }
    while (av_read_frame(input.format, packet) >= 0) {
        if (packet->stream_index == video) ++facts.videoPackets;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    long index = BoxOffset(path, "moov"), data = BoxOffset(path, "mdat");
    facts.indexFirst = index >= 0 && data >= 0 && index < data;
    return facts;
}

std::map<int, std::vector<uint8_t>> DecodeLuma(const fs::path& path, const std::set<int>& frames) {
    std::map<int, std::vector<uint8_t>> planes;
    Input input(path);
    if (!input.format) return planes;
    int video = av_find_best_stream(input.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0) return planes;
    Decoder decoder(input.format->streams[video]);
    int index = 0;
    decoder.DecodeAll(input.format, video, [&](const AVFrame* frame) {
        if (frames.count(index)) {
            std::vector<uint8_t>& plane = planes[index];
            for (int y = 0; y < frame->height; ++y)
                plane.insert(plane.end(), frame->data[0] + std::ptrdiff_t(y) * frame->linesize[0],
                             frame->data[0] + std::ptrdiff_t(y) * frame->linesize[0] + frame->width);
        }
        ++index;
    });
    return planes;
}

std::vector<float> DecodeSound(const fs::path& path, int* rate) {
    std::vector<float> sound;
    Input input(path);
    if (!input.format) return sound;
    int audio = av_find_best_stream(input.format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (audio < 0) return sound;
    Decoder decoder(input.format->streams[audio]);
    *rate = input.format->streams[audio]->codecpar->sample_rate;
    decoder.DecodeAll(input.format, audio, [&](const AVFrame* frame) {
        // The AAC decoder gives planar floats; the first plane is the left channel.
        const float* left = reinterpret_cast<const float*>(frame->extended_data[0]);
        if (frame->format == AV_SAMPLE_FMT_FLTP) sound.insert(sound.end(), left, left + frame->nb_samples);
    });
    return sound;
}
