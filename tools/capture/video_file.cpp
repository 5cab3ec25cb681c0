// The MP4 file: libx264 pictures through libswscale, AAC music, muxed by libavformat under a
// temporary name that becomes the output's only when the file is complete.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <unistd.h>

#include <cstdint>
#include <filesystem>

#include "tools/capture/video.h"

namespace {

// Sharp enough for the credits' text and the star's reflections, fast enough to keep up
// with the drawing on two cores.
constexpr const char* X264_PRESET = "veryfast";
constexpr const char* X264_QUALITY = "18";  // constant rate factor: lower is better
constexpr int64_t MUSIC_BIT_RATE = 192000;

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

std::string TemporaryVideoPath(const std::string& path) { return path + "." + std::to_string(getpid()) + ".part"; }

struct VideoFile::Streams {
    VideoSettings settings;
    std::string temporary;
    std::string error;
    AVFormatContext* muxer = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* converter = nullptr;
    AVFrame* picture = av_frame_alloc();
    AVFrame* sound = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    MusicStretch music;
    int64_t framesAdded = 0;
    int64_t samplesSent = 0;
    bool fileOpen = false;

    ~Streams() {
        sws_freeContext(converter);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        if (muxer && fileOpen) avio_closep(&muxer->pb);
        avformat_free_context(muxer);
        av_frame_free(&picture);
        av_frame_free(&sound);
        av_packet_free(&packet);
    }

    bool Fail(const std::string& why) {
        if (error.empty()) error = why;
        return false;
    }

    bool WriteFailed() {
        if (muxer->pb && muxer->pb->error < 0)
            return Fail("cannot write " + settings.path + ": " + AvError(muxer->pb->error));
        return false;
    }

    AVStream* AddStream(AVCodecContext* codec) {
        AVStream* stream = avformat_new_stream(muxer, nullptr);
        if (stream && avcodec_parameters_from_context(stream->codecpar, codec) >= 0) {
            stream->time_base = codec->time_base;
            return stream;
        }
        return nullptr;
    }

    int SourceWidth() const { return settings.sourceWidth ? settings.sourceWidth : settings.width; }
    int SourceHeight() const { return settings.sourceHeight ? settings.sourceHeight : settings.height; }

    bool OpenVideo() {
        const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
        if (!codec) return Fail("this libavcodec has no H.264 encoder (libx264)");
        video = avcodec_alloc_context3(codec);
        video->width = settings.width;
        video->height = settings.height;
        video->pix_fmt = AV_PIX_FMT_YUV420P;
        video->time_base = AVRational{1, VIDEO_FRAME_RATE};
        video->framerate = AVRational{VIDEO_FRAME_RATE, 1};
        video->sample_aspect_ratio = AVRational{1, 1};
        // The pictures are converted with the BT.709 matrix into video range, and say so.
        video->color_range = AVCOL_RANGE_MPEG;
        video->colorspace = AVCOL_SPC_BT709;
        video->color_primaries = AVCOL_PRI_BT709;
        video->color_trc = AVCOL_TRC_BT709;
        if (muxer->oformat->flags & AVFMT_GLOBALHEADER) video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        av_opt_set(video->priv_data, "preset", X264_PRESET, 0);
        av_opt_set(video->priv_data, "crf", X264_QUALITY, 0);
        if (int status = avcodec_open2(video, codec, nullptr); status < 0)
            return Fail("H.264 encoder: " + AvError(status));
        videoStream = AddStream(video);
        if (!videoStream) return Fail("cannot add the picture stream");
        videoStream->avg_frame_rate = video->framerate;

        // Scaled down, each pixel of the video is the mean of the frame's pixels it covers: at
        // half the size exactly the mean of a 2 x 2 block.
        int flags = SourceWidth() == settings.width && SourceHeight() == settings.height ? SWS_BILINEAR : SWS_AREA;
        converter = sws_getContext(SourceWidth(), SourceHeight(), AV_PIX_FMT_BGRA, settings.width, settings.height,
                                   AV_PIX_FMT_YUV420P, flags, nullptr, nullptr, nullptr);
        if (!converter) return Fail("cannot convert the frames to yuv420p");
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(converter, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
        picture->format = AV_PIX_FMT_YUV420P;
        picture->width = settings.width;
        picture->height = settings.height;
        return av_frame_get_buffer(picture, 0) >= 0 || Fail("out of memory");
    }

    bool OpenAudio() {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
        if (!codec) return Fail("this libavcodec has no AAC encoder");
        audio = avcodec_alloc_context3(codec);
        audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
        audio->sample_rate = music.SampleRate();
        audio->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
        audio->bit_rate = MUSIC_BIT_RATE;
        audio->time_base = AVRational{1, audio->sample_rate};
        if (muxer->oformat->flags & AVFMT_GLOBALHEADER) audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (int status = avcodec_open2(audio, codec, nullptr); status < 0)
            return Fail("AAC encoder: " + AvError(status));
        audioStream = AddStream(audio);
        if (!audioStream) return Fail("cannot add the sound stream");
        sound->format = AV_SAMPLE_FMT_FLTP;
        sound->nb_samples = audio->frame_size;
        sound->sample_rate = audio->sample_rate;
        av_channel_layout_copy(&sound->ch_layout, &audio->ch_layout);
        return av_frame_get_buffer(sound, 0) >= 0 || Fail("out of memory");
    }

    // Everything the encoder has ready goes into the file.
    bool Drain(AVCodecContext* codec, AVStream* stream) {
        while (true) {
            int status = avcodec_receive_packet(codec, packet);
            if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return true;
            if (status < 0) return Fail("encoding: " + AvError(status));
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            status = av_interleaved_write_frame(muxer, packet);
            if (WriteFailed()) return false;
            if (status < 0) return Fail("cannot write " + settings.path + ": " + AvError(status));
        }
    }

    bool Encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame) {
        if (int status = avcodec_send_frame(codec, frame); status < 0) return Fail("encoding: " + AvError(status));
        return Drain(codec, stream);
    }

    // The music up to `samples` from the start, one encoder frame at a time.
    bool SendMusicUntil(int64_t samples) {
        if (!audio) return true;
        samples = std::min(samples, music.TotalSamples());
        while (samplesSent < samples) {
            if (av_frame_make_writable(sound) < 0) return Fail("out of memory");
            int count = int(std::min<int64_t>(audio->frame_size, music.TotalSamples() - samplesSent));
            count =
                music.Read(reinterpret_cast<float*>(sound->data[0]), reinterpret_cast<float*>(sound->data[1]), count);
            if (count <= 0) break;
            sound->nb_samples = count;
            sound->pts = samplesSent;
            samplesSent += count;
            if (!Encode(audio, audioStream, sound)) return false;
        }
        return true;
    }

    int64_t MusicSamplesAt(int64_t frame) const { return audio ? frame * audio->sample_rate / VIDEO_FRAME_RATE : 0; }
};

VideoFile::VideoFile() = default;

VideoFile::~VideoFile() {
    if (streams) Abandon();
}

bool VideoFile::Open(const VideoSettings& settings, std::string* error) {
    av_log_set_level(AV_LOG_ERROR);  // the libraries' notes would bury the tool's own messages
    streams = std::make_unique<Streams>();
    Streams& s = *streams;
    s.settings = settings;
    s.temporary = TemporaryVideoPath(settings.path);
    auto fail = [&](const std::string& why) {
        *error = s.error.empty() ? why : s.error;
        streams.reset();
        return false;
    };
    if (!settings.musicFile.empty() &&
        !s.music.Open(settings.musicFile, double(settings.firstFrame) / VIDEO_FRAME_RATE,
                      double(settings.frameCount) / VIDEO_FRAME_RATE, MUSIC_FADE_SECONDS, error))
        return fail(*error);
    if (avformat_alloc_output_context2(&s.muxer, nullptr, "mp4", s.temporary.c_str()) < 0 || !s.muxer)
        return fail("no MP4 writer in this libavformat");
    if (!s.OpenVideo()) return fail("");
    if (!settings.musicFile.empty() && !s.OpenAudio()) return fail("");
    if (int status = avio_open(&s.muxer->pb, s.temporary.c_str(), AVIO_FLAG_WRITE); status < 0)
        return fail("cannot write " + settings.path + ": " + AvError(status));
    s.fileOpen = true;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);  // the index first, so the file streams
    int status = avformat_write_header(s.muxer, &options);
    av_dict_free(&options);
    if (status < 0 || s.WriteFailed()) {
        std::string why = s.error.empty() ? "cannot write " + settings.path + ": " + AvError(status) : s.error;
        Abandon();
        *error = why;
        return false;
    }
    return true;
}

bool VideoFile::AddFrame(const uint8_t* bgra) {
    Streams& s = *streams;
    if (av_frame_make_writable(s.picture) < 0) return s.Fail("out of memory");
    // GL's rows run bottom to top: start at the last row and step backwards.
    int stride = s.SourceWidth() * 4;
    const uint8_t* top = bgra + std::size_t(s.SourceHeight() - 1) * std::size_t(stride);
    const int strides[1] = {-stride};
    sws_scale(s.converter, &top, strides, 0, s.SourceHeight(), s.picture->data, s.picture->linesize);
    s.picture->pts = s.framesAdded++;
    // The music runs a frame ahead of the pictures, so the muxer interleaves with little held back.
    if (!s.SendMusicUntil(s.MusicSamplesAt(s.framesAdded + 1))) return false;
    return s.Encode(s.video, s.videoStream, s.picture);
}

bool VideoFile::Finish(std::string* error) {
    Streams& s = *streams;
    bool written = s.Encode(s.video, s.videoStream, nullptr) && s.SendMusicUntil(INT64_MAX) &&
                   (!s.audio || s.Encode(s.audio, s.audioStream, nullptr));
    if (written) {
        int status = av_write_trailer(s.muxer);
        if (!s.WriteFailed() && status < 0) s.Fail("cannot write " + s.settings.path + ": " + AvError(status));
        written = status >= 0 && s.error.empty();
    }
    if (written) {
        s.fileOpen = false;
        int status = avio_closep(&s.muxer->pb);
        if (status < 0) s.Fail("cannot write " + s.settings.path + ": " + AvError(status));
        std::error_code renamed;
        if (status >= 0) std::filesystem::rename(s.temporary, s.settings.path, renamed);
        if (renamed) s.Fail("cannot name the video " + s.settings.path + ": " + renamed.message());
        written = status >= 0 && !renamed;
    }
    if (!written) {
        *error = s.error;
        Abandon();
        return false;
    }
    streams.reset();
    return true;
}

void VideoFile::Abandon() {
    if (!streams) return;
    std::string temporary = streams->temporary;
    streams.reset();  // closes the file first
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
}

std::string VideoFile::Error() const { return streams ? streams->error : std::string(); }
