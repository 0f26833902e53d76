#include "update/ZipInflater.h"

namespace update {

ZipInflater::~ZipInflater() {
    if (initialised_) inflateEnd(&stream_);
}

bool ZipInflater::Begin() {
    stream_.next_in = nullptr;
    stream_.avail_in = 0;
    if (initialised_) return inflateReset(&stream_) == Z_OK;
    stream_ = z_stream{};
    initialised_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
    return initialised_;
}

void ZipInflater::Feed(const unsigned char* data, std::size_t size) {
    stream_.next_in = const_cast<Bytef*>(data);
    stream_.avail_in = static_cast<uInt>(size);
}

ZipInflater::Status ZipInflater::Inflate(unsigned char* out, std::size_t capacity, std::size_t& produced) {
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(capacity);
    const int rc = inflate(&stream_, Z_NO_FLUSH);
    produced = capacity - stream_.avail_out;
    switch (rc) {
    case Z_STREAM_END:
        return Status::End;
    case Z_OK:
        return Status::Progress;
    case Z_BUF_ERROR:
        // No progress possible: out of input (an output buffer is never full on entry).
        return Status::NeedInput;
    default:
        return Status::DataError;
    }
}

}  // namespace update
