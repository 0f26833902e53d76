#pragma once
// Raw deflate decoder (zlib, no header) kept across entries. Owns its z_stream; one thread.
#include <cstddef>
#include <zlib.h>

namespace update {

class ZipInflater {
public:
    enum class Status { Progress, End, NeedInput, DataError };

    ZipInflater() = default;
    ZipInflater(const ZipInflater&) = delete;
    ZipInflater& operator=(const ZipInflater&) = delete;
    ~ZipInflater();

    // Starts a new stream; false when zlib could not be set up.
    bool Begin();
    // Hands the decoder compressed input; the bytes must stay valid until consumed.
    void Feed(const unsigned char* data, std::size_t size);
    bool HasInput() const { return stream_.avail_in > 0; }
    // Decodes into `out`; `produced` says how many bytes were written there.
    Status Inflate(unsigned char* out, std::size_t capacity, std::size_t& produced);

private:
    z_stream stream_{};
    bool initialised_ = false;
};

}  // namespace update
