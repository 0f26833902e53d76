// Fetches a 50 MB update archive from the local HTTP server (KW_HTTP_PORT serving KW_HTTP_ROOT)
// with FetchFile and with the curl tool, then unpacks it with ExtractZip and with unzip, all in
// the same run, and prints the median time of each and the throughput ratios (ours / theirs;
// above 1 means ours is faster).
#include "platform/Http.h"
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

namespace fs = std::filesystem;
using kw::bench::Median;
using kw::bench::TimeMs;

namespace {

constexpr std::size_t kArchiveBytes = 50u << 20;
constexpr int kRuns = 6;  // each tool goes first half of the time

// An archive of about kArchiveBytes: incompressible blobs (stored as they are) and text, as an
// installer archive holds both.
bool MakeArchive(const fs::path& folder, const fs::path& archive) {
    const std::string script =
        "import os, random, zipfile\n"
        "random.seed(7)\n"
        "words = ['key', 'macro', 'light', 'update', 'profile', 'the', 'and', 'entry']\n"
        "with zipfile.ZipFile('" + archive.string() + "', 'w', zipfile.ZIP_DEFLATED) as z:\n"
        "    for i in range(8):\n"
        "        z.writestr('bin/blob%d.bin' % i, random.randbytes(5 << 20))\n"
        "    text = ' '.join(random.choice(words) for _ in range(400000)).encode()\n"
        "    i = 0\n"
        "    while os.path.getsize('" + archive.string() + "') < " + std::to_string(kArchiveBytes) + " and i < 400:\n"
        "        z.writestr('text/doc%d.txt' % i, text + str(i).encode())\n"
        "        z.fp.flush()\n"
        "        i += 1\n";
    const fs::path file = folder / "make.py";
    std::ofstream(file) << script;
    return std::system(("python3 '" + file.string() + "'").c_str()) == 0;
}

// Runs both in alternating order kRuns times; false when either failed.
template <typename Ours, typename Theirs>
bool Alternate(Ours&& ours, Theirs&& theirs, std::vector<double>& oursMs, std::vector<double>& theirsMs) {
    for (int run = 0; run < kRuns; ++run) {
        bool ok = true;
        if (run % 2 == 0) {
            ok = ours(oursMs) && theirs(theirsMs);
        } else {
            ok = theirs(theirsMs) && ours(oursMs);
        }
        if (!ok) return false;
    }
    return true;
}

void Report(const char* ours, const char* theirs, const char* ratio, const std::vector<double>& oursMs,
            const std::vector<double>& theirsMs) {
    const double a = Median(oursMs);
    const double b = Median(theirsMs);
    std::printf("%s %.0f ms\n", ours, a);
    std::printf("%s %.0f ms\n", theirs, b);
    std::printf("%s %.2f x\n", ratio, b / a);
}

}  // namespace

int main() {
    const char* root = std::getenv("KW_HTTP_ROOT");
    const char* port = std::getenv("KW_HTTP_PORT");
    if (root == nullptr || port == nullptr) {
        std::fprintf(stderr, "bench update: needs the local HTTP server (run it through scripts/bench.sh)\n");
        return 1;
    }
    std::string pattern = (fs::temp_directory_path() / "kw-bench-update-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return 1;
    const fs::path work = pattern;
    const fs::path served = fs::path(root) / "Keyboard-Software-9.9.zip";
    bool ok = MakeArchive(work, served);
    const std::string url = "http://127.0.0.1:" + std::string(port) + "/" + served.filename().string();
    const fs::path mine = work / "ours.zip";
    const fs::path other = work / "theirs.zip";
    if (ok) std::printf("update_archive_mb %.1f MB\n", static_cast<double>(fs::file_size(served)) / (1 << 20));

    std::vector<double> fetchMs, curlMs;
    const std::string curlCommand = "curl -s -f -o '" + other.string() + "' '" + url + "'";
    ok = ok && Alternate(
                   [&](std::vector<double>& times) {
                       int result = 0;
                       times.push_back(TimeMs([&] { result = platform::FetchFile(url, mine.string(), nullptr); }));
                       return result == platform::kFetchCompleted && fs::file_size(mine) == fs::file_size(served);
                   },
                   [&](std::vector<double>& times) {
                       int status = 0;
                       times.push_back(TimeMs([&] { status = std::system(curlCommand.c_str()); }));
                       return status == 0;
                   },
                   fetchMs, curlMs);
    if (ok) Report("update_fetch_ms", "curl_fetch_ms", "update_fetch_vs_curl", fetchMs, curlMs);

    std::vector<double> extractMs, unzipMs;
    const fs::path outOurs = work / "out-ours";
    const fs::path outTheirs = work / "out-theirs";
    const std::string unzipCommand = "unzip -o -q '" + mine.string() + "' -d '" + outTheirs.string() + "'";
    ok = ok && Alternate(
                   [&](std::vector<double>& times) {
                       fs::remove_all(outOurs);
                       ::sync();
                       bool opened = false;
                       times.push_back(TimeMs([&] { opened = ExtractZip(mine.string(), outOurs.string()); }));
                       return opened;
                   },
                   [&](std::vector<double>& times) {
                       fs::remove_all(outTheirs);
                       ::sync();
                       int status = 0;
                       times.push_back(TimeMs([&] { status = std::system(unzipCommand.c_str()); }));
                       return status == 0;
                   },
                   extractMs, unzipMs);
    if (ok) Report("update_unpack_ms", "unzip_unpack_ms", "update_unpack_vs_unzip", extractMs, unzipMs);

    if (!ok) std::fprintf(stderr, "bench update: a download or an unpack failed\n");
    fs::remove(served);
    fs::remove_all(work);
    return ok ? 0 : 1;
}
