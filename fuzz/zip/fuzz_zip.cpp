// libFuzzer target: any byte string as a zip archive, opened and unpacked into a scratch folder
// that is emptied after every input.
#include "update/ZipReader.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

struct Scratch {
    std::filesystem::path root;
    Scratch() {
        const std::filesystem::path base =
            std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
        std::string pattern = (base / "kw-fuzz-zip-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        root = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    const std::filesystem::path archive = scratch.root / "input.zip";
    const std::filesystem::path out = scratch.root / "out";
    {
        std::ofstream file(archive, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    {
        ZipReader reader;
        if (reader.Open(archive.string()) == update::kZipOk) {
            reader.SetOutputLimit(1u << 20);  // keeps each input quick; the bound itself is tested
            reader.SetBaseFolder(out.string());
            ZipEntry entry;
            reader.GetEntry(-1, entry);
            const std::int64_t count = entry.index;
            for (std::int64_t i = 0; i < count && i < 4096; ++i) {
                if (reader.GetEntry(i, entry) == update::kZipOk) reader.UnpackEntry(i, entry.name);
            }
            // Nothing may appear outside the output folder.
            for (const auto& item : std::filesystem::directory_iterator(scratch.root)) {
                if (item.path() != archive && item.path() != out) std::abort();
            }
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(out, ignored);
    return 0;
}
