// Unpacks a 100 MB archive of mixed files (text, random bytes, already compressed data, many
// small files) with ExtractZip and with the system's unzip, in the same run, and prints the
// median time of each.
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
#include <zlib.h>

namespace fs = std::filesystem;

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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename F>
double TimeMs(F&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
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

    constexpr int kRuns = 3;
    std::vector<double> ours, theirs;
    bool ok = true;
    for (int run = 0; run < kRuns && ok; ++run) {
        fs::remove_all(work / "ours");
        fs::remove_all(work / "theirs");
        kw::update::ZipResult error = 0;
        ours.push_back(TimeMs([&] { ok = kw::update::ExtractZip(archive.string(), (work / "ours").string(), &error); }));
        ok = ok && error == kw::update::kZipOk;
        const std::string unzipCommand = "unzip -o -q '" + archive.string() + "' -d '" + (work / "theirs").string() + "'";
        theirs.push_back(TimeMs([&] { ok = ok && std::system(unzipCommand.c_str()) == 0; }));
    }
    if (ok) {
        std::printf("zip_archive_mb %.1f MB\n", static_cast<double>(fs::file_size(archive)) / (1 << 20));
        std::printf("zip_extract_ms %.0f ms\n", Median(ours));
        std::printf("unzip_extract_ms %.0f ms\n", Median(theirs));
    } else {
        std::fprintf(stderr, "bench zip: extraction failed\n");
    }
    fs::remove_all(work);
    return ok ? 0 : 1;
}
