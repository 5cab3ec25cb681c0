// A stretch of the music decoded through libavformat and libavcodec, converted by
// libswresample to planar float stereo at the file's own rate.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>

#include "tools/capture/video.h"

namespace {

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// Mono music plays at its own level on both sides, as players copy it, rather than 3 dB
// down as the converter would mix a centre channel.
bool PlayMonoOnBothSides(SwrContext* converter, const AVChannelLayout& layout) {
    static const double BOTH_SIDES[2] = {1.0, 1.0};  // left and right from the one channel
    return layout.nb_channels != 1 || swr_set_matrix(converter, BOTH_SIDES, 1) >= 0;
}

}  // namespace

struct MusicStretch::Decoder {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* converter = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int stream = -1;
    bool flushing = false;   // the file is read to its end; the decoder gives what it still holds
    bool exhausted = false;  // nothing more comes from the file: silence from here on

    int64_t skip = 0;      // samples still to drop before the stretch begins
    int64_t position = 0;  // samples of the stretch handed out so far
    int64_t total = 0;
    int64_t fade = 0;
    std::vector<float> left, right;  // decoded samples not handed out yet, from `at`
    std::size_t at = 0;

    ~Decoder() {
        swr_free(&converter);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        av_packet_free(&packet);
        av_frame_free(&frame);
    }

    bool Convert() {
        int capacity = swr_get_out_samples(converter, frame->nb_samples);
        if (capacity <= 0) return true;
        left.resize(std::size_t(capacity));
        right.resize(std::size_t(capacity));
        uint8_t* planes[2] = {reinterpret_cast<uint8_t*>(left.data()), reinterpret_cast<uint8_t*>(right.data())};
        int converted = swr_convert(converter, planes, capacity, const_cast<const uint8_t**>(frame->extended_data),
                                    frame->nb_samples);
        left.resize(std::size_t(std::max(converted, 0)));
        right.resize(left.size());
        at = 0;
        return converted >= 0;
    }

    // The next decoded frame into left/right; false once the file has nothing more.
    bool DecodeMore() {
        while (true) {
            int received = avcodec_receive_frame(codec, frame);
            if (received == 0) return Convert();
            if (received == AVERROR_EOF) return false;
            if (received != AVERROR(EAGAIN)) continue;  // a damaged frame: skipped, as players do
            if (av_read_frame(format, packet) < 0) {
                if (flushing) return false;
                flushing = true;
                avcodec_send_packet(codec, nullptr);
                continue;
            }
            if (packet->stream_index == stream) avcodec_send_packet(codec, packet);
            av_packet_unref(packet);
        }
    }
};

MusicStretch::MusicStretch() = default;
MusicStretch::~MusicStretch() = default;

bool MusicStretch::Open(const std::string& path, double startSeconds, double seconds, double fadeSeconds,
                        std::string* error) {
    decoder = std::make_unique<Decoder>();
    Decoder& d = *decoder;
    auto fail = [&](const std::string& why) {
        *error = "cannot read the music " + path + ": " + why;
        decoder.reset();
        return false;
    };
    if (int status = avformat_open_input(&d.format, path.c_str(), nullptr, nullptr); status < 0)
        return fail(AvError(status));
    if (int status = avformat_find_stream_info(d.format, nullptr); status < 0) return fail(AvError(status));
    const AVCodec* codec = nullptr;
    d.stream = av_find_best_stream(d.format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (d.stream < 0 || !codec) return fail("no sound in it");
    d.codec = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(d.codec, d.format->streams[d.stream]->codecpar);
    if (int status = avcodec_open2(d.codec, codec, nullptr); status < 0) return fail(AvError(status));

    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    int rate = d.codec->sample_rate;
    if (rate <= 0 ||
        swr_alloc_set_opts2(&d.converter, &stereo, AV_SAMPLE_FMT_FLTP, rate, &d.codec->ch_layout, d.codec->sample_fmt,
                            rate, 0, nullptr) < 0 ||
        !PlayMonoOnBothSides(d.converter, d.codec->ch_layout) || swr_init(d.converter) < 0)
        return fail("its sound cannot be converted");
    // The first frame is decoded now, so that a file that is no music fails here, not later.
    if (!d.DecodeMore() || d.left.empty()) return fail("no sound could be decoded from it");

    d.skip = std::llround(startSeconds * rate);
    d.total = std::llround(seconds * rate);
    d.fade = std::min<int64_t>(std::llround(fadeSeconds * rate), d.total);
    return true;
}

int MusicStretch::SampleRate() const { return decoder->codec->sample_rate; }

int64_t MusicStretch::TotalSamples() const { return decoder->total; }

int MusicStretch::Read(float* left, float* right, int count) {
    Decoder& d = *decoder;
    int written = 0;
    while (written < count && d.position < d.total) {
        if (d.at == d.left.size() && !d.exhausted) {
            if (!d.DecodeMore()) d.exhausted = true;
            continue;
        }
        int64_t available = int64_t(d.left.size() - d.at);
        if (d.skip > 0 && !d.exhausted) {
            int64_t dropped = std::min(d.skip, available);
            d.at += std::size_t(dropped);
            d.skip -= dropped;
            continue;
        }
        int64_t wanted = std::min<int64_t>(count - written, d.total - d.position);
        int64_t n = d.exhausted ? wanted : std::min(wanted, available);
        for (int64_t i = 0; i < n; ++i) {
            int64_t p = d.position + i;
            // Linear down to 0 at the stretch's last sample: the sound ends without a click.
            float gain = p < d.total - d.fade ? 1.0f : float(d.total - 1 - p) / float(d.fade);
            left[written + i] = d.exhausted ? 0.0f : d.left[d.at + std::size_t(i)] * gain;
            right[written + i] = d.exhausted ? 0.0f : d.right[d.at + std::size_t(i)] * gain;
        }
        if (!d.exhausted) d.at += std::size_t(n);
        d.position += n;
        written += int(n);
    }
    return written;
}
