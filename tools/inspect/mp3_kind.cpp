// mp3_kind.cpp - the music: decoded to its end with libmpg123, the samples thrown away.
#include <mpg123.h>

#include <memory>

#include "tools/inspect/inspect.h"

namespace {

struct HandleCloser {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Mp3Handle = std::unique_ptr<mpg123_handle, HandleCloser>;

}  // namespace

std::string CheckMp3(const std::filesystem::path& path) {
    int error = MPG123_OK;
    Mp3Handle handle(mpg123_new(nullptr, &error));
    if (!handle) return std::string("MP3 decoder unavailable: ") + mpg123_plain_strerror(error);
    // The decoder's own complaints about junk between frames would garble the table.
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    if (mpg123_open(handle.get(), path.string().c_str()) != MPG123_OK)
        return std::string("cannot be opened: ") + mpg123_strerror(handle.get());

    std::vector<unsigned char> buffer(mpg123_outblock(handle.get()));
    size_t decodedBytes = 0;
    for (;;) {
        size_t done = 0;
        const int status = mpg123_read(handle.get(), buffer.data(), buffer.size(), &done);
        decodedBytes += done;
        if (status == MPG123_DONE) break;
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT)
            return std::string("does not decode: ") + mpg123_strerror(handle.get());
    }
    if (decodedBytes == 0) return "holds no MP3 audio";
    return "";
}
