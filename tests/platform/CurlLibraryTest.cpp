#include "platform/CurlLibrary.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ProcessMaps.h"
#include "platform/Http.h"
#include "platform/PulseLibrary.h"

namespace fs = std::filesystem;
using platform::CurlLibrary;

TEST(CurlLibrary, OpensOnlyWhenTheFirstFetchAsksForIt) {
  EXPECT_FALSE(ProcessMaps("libcurl")) << "the HTTP library was mapped before any fetch";
  EXPECT_EQ(platform::HttpLibraryError(), "");
  EXPECT_TRUE(ProcessMaps("libcurl"));
  const CurlLibrary& shared = CurlLibrary::Shared();
  EXPECT_TRUE(shared.Loaded());
  EXPECT_EQ(&shared, &CurlLibrary::Shared());
  EXPECT_NE(shared.Calls().easyInit, nullptr);
  EXPECT_NE(shared.Calls().free, nullptr);
}

TEST(CurlLibrary, MissingOrForeignLibrarySaysTheNetworkLibraryIsUnavailable) {
  const CurlLibrary missing("libkw-no-such-network-library.so.0");
  EXPECT_FALSE(missing.Loaded());
  EXPECT_EQ(missing.Error().rfind(platform::kNetworkLibraryUnavailable, 0), 0u) << missing.Error();
  EXPECT_NE(missing.Error().find("libkw-no-such-network-library.so.0"), std::string::npos);
  EXPECT_EQ(missing.Calls().easyInit, nullptr);

  // A library without the entry points is refused whole, naming the first one it lacks.
  const CurlLibrary foreign("libm.so.6");
  EXPECT_FALSE(foreign.Loaded());
  EXPECT_EQ(foreign.Error().rfind(platform::kNetworkLibraryUnavailable, 0), 0u) << foreign.Error();
  EXPECT_NE(foreign.Error().find("curl_global_init"), std::string::npos) << foreign.Error();
}

TEST(CurlLibrary, FetchesWithoutTheLibraryFailCleanlyAndLeaveNoFile) {
  const CurlLibrary missing("libkw-no-such-network-library.so.0");
  platform::FetchOptions options;
  options.library = &missing;
  std::string text = "stale";
  EXPECT_EQ(platform::FetchText("http://127.0.0.1:9/version", text, options), platform::kFetchNoHandle);
  EXPECT_EQ(text, "");

  std::string folder = (fs::temp_directory_path() / "kw-curl-XXXXXX").string();
  ASSERT_NE(::mkdtemp(folder.data()), nullptr);
  const std::string target = folder + "/a.zip";
  std::ofstream(target) << "an older download";
  int progressCalls = 0;
  EXPECT_EQ(platform::FetchFile("http://127.0.0.1:9/a.zip", target,
                                [&progressCalls](int) { ++progressCalls; }, options),
            platform::kFetchNoHandle);
  // The stale file must not pass for this download; nothing else is left behind.
  EXPECT_TRUE(fs::is_empty(folder));
  EXPECT_LE(progressCalls, 1);
  fs::remove_all(folder);
}

TEST(PulseLibrary, MissingOrForeignLibraryIsRefusedWhole) {
  const platform::PulseLibrary missing("libkw-no-such-audio-library.so.0");
  EXPECT_FALSE(missing.Loaded());
  EXPECT_NE(missing.Problem().find("libkw-no-such-audio-library.so.0"), std::string::npos);
  const platform::PulseLibrary foreign("libm.so.6");
  EXPECT_FALSE(foreign.Loaded());
  EXPECT_NE(foreign.Problem().find("pa_mainloop_new"), std::string::npos) << foreign.Problem();
  EXPECT_EQ(foreign.Calls().mainloopNew, nullptr);
}
