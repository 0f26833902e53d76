// The version checks and the update download against the local HTTP server the test scripts
// start (KW_HTTP_PORT serving KW_HTTP_ROOT), and against scripted replies of a loopback server.
#include "device/CommandBuilders.h"
#include "update/UpdateCheck.h"
#include "update/UpdateDownload.h"

#include "ScratchFolder.h"
#include "tests/platform/LoopbackServer.h"

#include <gtest/gtest.h>

#include <fstream>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using namespace update;

namespace {

constexpr const char* kVersion = "1.2.10";
constexpr auto kLaunchWait = std::chrono::seconds(10);

// A folder below the server's root for one test, and the data folder the program would use.
class UpdateSite {
public:
    UpdateSite() {
        const char* root = std::getenv("KW_HTTP_ROOT");
        const char* port = std::getenv("KW_HTTP_PORT");
        if (root == nullptr || port == nullptr) return;
        std::string pattern = std::string(root) + "/site-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) return;
        served_ = pattern;
        baseUrl_ = "http://127.0.0.1:" + std::string(port) + "/" + fs::path(served_).filename().string() + "/";
        data_ = local_.Path() + "/data/";
        fs::create_directories(data_);
        ::setenv("KW_SHELL_OPEN_LOG", (local_ / "opened.log").c_str(), 1);
    }
    ~UpdateSite() {
        std::error_code ignored;
        if (!served_.empty()) fs::remove_all(served_, ignored);
    }
    bool Ready() const { return !served_.empty(); }
    const std::string& BaseUrl() const { return baseUrl_; }
    const std::string& DataFolder() const { return data_; }
    const ScratchFolder& Local() const { return local_; }
    std::string Marker() const { return local_ / "launched.txt"; }

    void Serve(const std::string& name, const std::string& content) const {
        std::ofstream(served_ + "/" + name, std::ios::binary) << content;
    }
    // Builds an archive in the local folder with Python's zipfile and serves it. `entries` is
    // Python: a list of (name, text, unix mode) tuples.
    bool ServeZip(const std::string& name, const std::string& entries) const {
        const std::string script = "import zipfile\n"
                                   "with zipfile.ZipFile('made.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n"
                                   "    for name, text, mode in " + entries + ":\n"
                                   "        info = zipfile.ZipInfo(name)\n"
                                   "        info.create_system = 3\n"
                                   "        info.external_attr = mode << 16\n"
                                   "        z.writestr(info, text)\n";
        if (!local_.Python(script)) return false;
        fs::copy_file(local_ / "made.zip", served_ + "/" + name, fs::copy_options::overwrite_existing);
        return true;
    }
    // An archive whose program writes the marker file when it runs.
    bool ServeMarkerProgram(UpdatePackage package, const std::string& version) const {
        const std::string script = "#!/bin/sh\\necho started > \\\"" + Marker() + "\\\"\\n";
        return ServeZip(UpdateArchiveName(package, version),
                        "[('" + UpdateProgramName(package, version) + "', '" + script + "', 0o100755),"
                        " ('readme.txt', 'notes', 0o100644)]");
    }

    bool WaitForMarker() const {
        const auto until = std::chrono::steady_clock::now() + kLaunchWait;
        while (std::chrono::steady_clock::now() < until) {
            if (fs::exists(Marker())) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    // Nothing was started: no marker, nothing handed to the desktop's opener.
    bool NothingLaunched() const {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return !fs::exists(Marker()) && !fs::exists(local_ / "opened.log");
    }
    // Everything below the data folder, relative to it.
    std::vector<std::string> DataFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(data_)) {
            names.push_back(fs::relative(entry.path(), data_).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    ScratchFolder local_;
    std::string served_;
    std::string baseUrl_;
    std::string data_;
};

#define REQUIRE_SITE(site) \
    if (!(site).Ready()) GTEST_SKIP() << "needs the local HTTP server of scripts/services.sh (KW_HTTP_PORT)"

bool FirmwareNewerThan0105(const std::string& reply) { return FirmwareIsOlder(0x0105, reply); }

}  // namespace

TEST(UpdateCheck, SoftwareReplyIsOfferedOnlyWhenNewerAndWellFormed) {
    UpdateSite site;
    REQUIRE_SITE(site);
    struct Case {
        const char* reply;
        bool newer;
        const char* version;
    };
    for (const Case c : {Case{"1.0.10", true, "1.0.10"}, Case{"1.0.2", false, "1.0.2"}, Case{"1.0.1", false, "1.0.1"},
                         Case{"1.0.2.0", true, "1.0.2.0"}, Case{"1.0.2.00001", false, ""},
                         Case{"../../x", false, ""}, Case{"1.0.3\n", false, ""}, Case{"", false, ""}}) {
        site.Serve("version", c.reply);
        const VersionOffer offer = CheckSoftwareVersion(site.BaseUrl(), "1.0.2");
        EXPECT_EQ(offer.fetchResult, platform::kFetchCompleted) << c.reply;
        EXPECT_EQ(offer.newer, c.newer) << c.reply;
        EXPECT_EQ(offer.version, c.version) << c.reply;
    }
    const VersionOffer missing = CheckSoftwareVersion(site.BaseUrl() + "nothing-here/", "1.0.2");
    EXPECT_EQ(missing.fetchResult, platform::kFetchFailed);
    EXPECT_FALSE(missing.newer);
}

TEST(UpdateCheck, FirmwareReplyIsComparedWithTheKeyboardsVersion) {
    UpdateSite site;
    REQUIRE_SITE(site);
    struct Case {
        const char* reply;
        bool newer;
    };
    for (const Case c : {Case{"106", true}, Case{"105", false}, Case{"104", false}, Case{"12345678901", false},
                         Case{"1.0/../999", false}, Case{"abc", false}}) {
        site.Serve("version", c.reply);
        const VersionOffer offer = CheckFirmwareVersion(site.BaseUrl(), &FirmwareNewerThan0105);
        EXPECT_EQ(offer.newer, c.newer) << c.reply;
    }
    site.Serve("version", "106");
    EXPECT_FALSE(CheckFirmwareVersion(site.BaseUrl(), nullptr).newer);
}

TEST(UpdateDownload, FullDownloadUnpacksLaunchesTheProgramAndRemovesTheArchive) {
    UpdateSite site;
    REQUIRE_SITE(site);
    for (const UpdatePackage package : {UpdatePackage::Software, UpdatePackage::FirmwareTool}) {
        fs::remove(site.Marker());
        ASSERT_TRUE(site.ServeMarkerProgram(package, kVersion));
        std::vector<int> progress;
        const UpdateOutcome outcome = InstallUpdate(package, site.BaseUrl(), kVersion, site.DataFolder(),
                                                    [&](int p) { progress.push_back(p); });
        ASSERT_EQ(outcome.status, UpdateStatus::Launched);
        EXPECT_EQ(outcome.fetchResult, platform::kFetchCompleted);
        EXPECT_EQ(outcome.programPath, site.DataFolder() + "temp/" + UpdateProgramName(package, kVersion));
        EXPECT_TRUE(site.WaitForMarker()) << "the unpacked program ran";
        EXPECT_FALSE(fs::exists(site.DataFolder() + "temp/" + UpdateArchiveName(package, kVersion)));
        EXPECT_TRUE(fs::exists(site.DataFolder() + "temp/readme.txt"));
        ASSERT_GE(progress.size(), 5u);
        EXPECT_EQ(std::vector<int>(progress.begin(), progress.begin() + 4), (std::vector<int>{0, 2, 8, 10}));
        EXPECT_EQ(progress.back(), 100);
        for (std::size_t i = 1; i < progress.size(); ++i) EXPECT_LT(progress[i - 1], progress[i]);
    }
}

TEST(UpdateDownload, BadArchivesLaunchNothingAndLeaveNothingOutsideTemp) {
    UpdateSite site;
    REQUIRE_SITE(site);
    const std::string archive = UpdateArchiveName(UpdatePackage::Software, kVersion);
    const std::string program = UpdateProgramName(UpdatePackage::Software, kVersion);
    struct Case {
        const char* what;
        std::function<bool()> serve;
        UpdateStatus status;
    };
    const std::vector<Case> cases = {
        {"missing archive", [] { return true; }, UpdateStatus::DownloadFailed},
        {"not a zip", [&] { site.Serve(archive, "PK this is no archive"); return true; }, UpdateStatus::NotAnArchive},
        {"no program inside", [&] { return site.ServeZip(archive, "[('other.exe', 'x', 0o100755)]"); },
         UpdateStatus::NoProgram},
        {"entries climbing out",
         [&] { return site.ServeZip(archive, "[('../../../escape.txt', 'x', 0o100644), ('/abs.txt', 'x', 0o100644)]"); },
         UpdateStatus::NoProgram},
        {"program as a link",
         [&] { return site.ServeZip(archive, "[('" + program + "', '/bin/sh', 0o120777)]"); }, UpdateStatus::HoldsLinks},
        {"program as a folder", [&] { return site.ServeZip(archive, "[('" + program + "/', '', 0o40755)]"); },
         UpdateStatus::NoProgram},
    };
    for (const Case& c : cases) {
        fs::remove_all(site.DataFolder() + "temp");
        ASSERT_TRUE(c.serve()) << c.what;
        const UpdateOutcome outcome =
            InstallUpdate(UpdatePackage::Software, site.BaseUrl(), kVersion, site.DataFolder(), nullptr);
        EXPECT_EQ(outcome.status, c.status) << c.what;
        EXPECT_TRUE(site.NothingLaunched()) << c.what;
        for (const std::string& name : site.DataFiles()) {
            EXPECT_TRUE(name == "temp" || name.rfind("temp/", 0) == 0) << c.what << ": " << name;
            EXPECT_NE(name, "temp/" + archive) << c.what << ": the archive is left";
        }
        EXPECT_FALSE(fs::exists(site.Local() / "escape.txt")) << c.what;
        EXPECT_FALSE(fs::exists(fs::path(site.Local().Path()).parent_path() / "escape.txt")) << c.what;
        EXPECT_FALSE(fs::exists(site.Local() / "abs.txt")) << c.what;
    }
}

TEST(UpdateDownload, AProgramLeftByAnEarlierRunIsNotStarted) {
    UpdateSite site;
    REQUIRE_SITE(site);
    const std::string program = UpdateProgramName(UpdatePackage::Software, kVersion);
    fs::create_directories(site.DataFolder() + "temp");
    site.Local().Write("data/temp/" + program, "#!/bin/sh\necho started > '" + site.Marker() + "'\n");
    fs::permissions(site.DataFolder() + "temp/" + program, fs::perms::owner_all);
    ASSERT_TRUE(site.ServeZip(UpdateArchiveName(UpdatePackage::Software, kVersion), "[('other.txt', 'x', 0o100644)]"));
    const UpdateOutcome outcome =
        InstallUpdate(UpdatePackage::Software, site.BaseUrl(), kVersion, site.DataFolder(), nullptr);
    EXPECT_EQ(outcome.status, UpdateStatus::NoProgram);
    EXPECT_TRUE(site.NothingLaunched());
    EXPECT_FALSE(fs::exists(site.DataFolder() + "temp/" + program));
}

TEST(UpdateDownload, BrokenTransfersAndBadVersionsLaunchNothing) {
    ScratchFolder local;
    const std::string data = local.Path() + "/data/";
    ::setenv("KW_SHELL_OPEN_LOG", (local / "opened.log").c_str(), 1);
    const auto check = [&](const LoopbackServer& server, const char* what) {
        const UpdateOutcome outcome =
            InstallUpdate(UpdatePackage::FirmwareTool, server.Url("/fw/"), kVersion, data, nullptr, [] {
                platform::FetchOptions options;
                options.stallSeconds = 1;
                return options;
            }());
        EXPECT_EQ(outcome.status, UpdateStatus::DownloadFailed) << what;
        EXPECT_FALSE(fs::exists(local / "opened.log")) << what;
        EXPECT_TRUE(fs::is_empty(data + "temp")) << what;
    };
    LoopbackServer error([](const std::string&) { return LoopbackServer::Status(500, "Internal Server Error"); });
    check(error, "500");
    LoopbackServer loop([](const std::string&) { return LoopbackServer::Status(302, "Found", "Location: /fw/\r\n"); });
    check(loop, "redirect loop");
    LoopbackServer stall([](const std::string&) { return LoopbackServer::HalfThenSilence(std::string(40000, 'P')); });
    check(stall, "stall");
    LoopbackServer shortBody([](const std::string&) {
        return LoopbackServer::Reply{"HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nConnection: close\r\n\r\nPK\3\4"};
    });
    check(shortBody, "body shorter than its length");

    // A version that would climb out of temp is refused before anything is fetched.
    LoopbackServer never([](const std::string&) { return LoopbackServer::Ok("x"); });
    for (const char* bad : {"../../x", "1/2", "", "12345678901"}) {
        const UpdateOutcome outcome = InstallUpdate(UpdatePackage::Software, never.Url("/"), bad, data, nullptr);
        EXPECT_EQ(outcome.status, UpdateStatus::BadVersion) << bad;
    }
    EXPECT_TRUE(never.Requests().empty());
    EXPECT_FALSE(fs::exists(local / "x.zip"));
}
