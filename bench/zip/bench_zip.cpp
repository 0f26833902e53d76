// Unpacks a 100 MB archive of mixed files (text, random bytes, already compressed data, many
// small files) with ExtractZip and with the system's unzip, in the same run, and prints the
// median time of each, on the temporary folder's disk and on tmpfs.
#include "bench/BenchTiming.h"
#include "update/ExtractZip.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>
#include <zlib.h>

namespace fs = std::filesystem;
using kw::bench::Median;
using kw::bench::TimeMs;

namespace {

struct Random {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint64_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
};

std::string Text(Random& random, std::size_t size) {
    static const char* const kWords[] = {"key",   "macro", "profile", "light", "colour", "layer",
                                         "speed", "fn",    "record",  "delay", "device", "update",
                                         "the",   "and",   "of",      "zip",   "entry",  "folder"};
    std::string out;
    out.reserve(size + 16);
    while (out.size() < size) {
        out += kWords[random.Next() % std::size(kWords)];
        out += random.Next() % 12 == 0 ? '\n' : ' ';
    }
    out.resize(size);
    return out;
}

std::string Bytes(Random& random, std::size_t size) {
    std::string out(size, '\0');
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        const std::uint64_t v = random.Next();
        std::copy_n(reinterpret_cast<const char*>(&v), 8, &out[i]);
    }
    return out;
}

std::string Compressed(Random& random, std::size_t size) {
    std::string out;
    while (out.size() < size) {
        const std::string text = Text(random, 1 << 20);
        uLongf length = compressBound(text.size());
        std::string packed(length, '\0');
        compress2(reinterpret_cast<Bytef*>(packed.data()), &length, reinterpret_cast<const Bytef*>(text.data()),
                  text.size(), 9);
        out.append(packed, 0, length);
    }
    out.resize(size);
    return out;
}

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
}

// About 100 MB of files below `root`.
void MakeTree(const fs::path& root) {
    Random random;
    for (int i = 0; i < 30; ++i) WriteFile(root / "text" / ("doc" + std::to_string(i) + ".txt"), Text(random, 1 << 20));
    for (int i = 0; i < 5; ++i) WriteFile(root / "bin" / ("blob" + std::to_string(i) + ".bin"), Bytes(random, 5 << 20));
    for (int i = 0; i < 4; ++i) WriteFile(root / "packed" / ("data" + std::to_string(i) + ".z"), Compressed(random, 5 << 20));
    for (int i = 0; i < 5000; ++i) {
        const std::size_t size = 1024 + random.Next() % 8192;
        const fs::path path = root / "small" / ("d" + std::to_string(i % 50)) / ("f" + std::to_string(i) + ".dat");
        WriteFile(path, i % 2 ? Text(random, size) : Bytes(random, size));
    }
}

}  // namespace

int main() {
    std::string pattern = (fs::temp_directory_path() / "kw-bench-zip-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return 1;
    const fs::path work = pattern;
    MakeTree(work / "data");
    const fs::path archive = work / "mixed.zip";
    const std::string zipCommand = "cd '" + work.string() + "' && zip -q -r mixed.zip data";
    if (std::system(zipCommand.c_str()) != 0) {
        std::fprintf(stderr, "bench zip: the zip tool failed\n");
        fs::remove_all(work);
        return 1;
    }
    fs::remove_all(work / "data");

    // Disk figures are what an update sees; the memory-backed pair (tmpfs) shows the unpacking
    // work without the disk. The order alternates and dirty data is flushed before every run, so
    // that neither tool pays for the other's writes.
    bool ok = true;
    const auto measure = [&](const fs::path& where, const char* ourName, const char* theirName) {
        constexpr int kRuns = 4;  // each tool goes first twice
        std::vector<double> ours, theirs;
        const fs::path mine = where / "ours";
        const fs::path other = where / "theirs";
        const std::string unzipCommand = "unzip -o -q '" + archive.string() + "' -d '" + other.string() + "'";
        const auto runOurs = [&] {
            fs::remove_all(mine);
            ::sync();
            update::ZipResult error = 0;
            ours.push_back(TimeMs([&] { ok = ExtractZip(archive.string(), mine.string(), &error) && ok; }));
            ok = ok && error == update::kZipOk;
        };
        const auto runTheirs = [&] {
            fs::remove_all(other);
            ::sync();
            theirs.push_back(TimeMs([&] { ok = std::system(unzipCommand.c_str()) == 0 && ok; }));
        };
        for (int run = 0; run < kRuns && ok; ++run) {
            if (run % 2 == 0) {
                runOurs();
                runTheirs();
            } else {
                runTheirs();
                runOurs();
            }
        }
        fs::remove_all(mine);
        fs::remove_all(other);
        if (ok) {
            std::printf("%s %.0f ms\n", ourName, Median(ours));
            std::printf("%s %.0f ms\n", theirName, Median(theirs));
        }
    };
    std::printf("zip_archive_mb %.1f MB\n", static_cast<double>(fs::file_size(archive)) / (1 << 20));
    measure(work, "zip_extract_ms", "unzip_extract_ms");
    std::string memPattern = "/dev/shm/kw-bench-zip-XXXXXX";
    if (ok && ::mkdtemp(memPattern.data()) != nullptr) {
        measure(memPattern, "zip_extract_tmpfs_ms", "unzip_extract_tmpfs_ms");
        fs::remove_all(memPattern);
    }
    if (!ok) std::fprintf(stderr, "bench zip: extraction failed\n");
    fs::remove_all(work);
    return ok ? 0 : 1;
}
