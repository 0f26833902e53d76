#include "platform/CurlLibrary.h"

namespace platform {

CurlLibrary::CurlLibrary(const char* fileName) : library_(fileName) {
  SharedLibrary& l = library_;
  const bool resolved =
      l.Resolve("curl_global_init", api_.globalInit) &&
      l.Resolve("curl_global_cleanup", api_.globalCleanup) &&
      l.Resolve("curl_easy_init", api_.easyInit) && l.Resolve("curl_easy_cleanup", api_.easyCleanup) &&
      l.Resolve("curl_easy_setopt", api_.easySetopt) &&
      l.Resolve("curl_easy_perform", api_.easyPerform) &&
      l.Resolve("curl_easy_getinfo", api_.easyGetinfo) &&
      l.Resolve("curl_slist_append", api_.slistAppend) &&
      l.Resolve("curl_slist_free_all", api_.slistFreeAll) && l.Resolve("curl_url", api_.url) &&
      l.Resolve("curl_url_cleanup", api_.urlCleanup) && l.Resolve("curl_url_set", api_.urlSet) &&
      l.Resolve("curl_url_get", api_.urlGet) && l.Resolve("curl_free", api_.free);
  if (resolved && api_.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
    l.Close(std::string(fileName) + ": its global set-up failed");
  if (!l.IsOpen()) {
    api_ = Api{};
    error_ = std::string(kNetworkLibraryUnavailable) + " (" + l.Problem() + ")";
  }
}

CurlLibrary::~CurlLibrary() {
  if (library_.IsOpen()) api_.globalCleanup();
}

const CurlLibrary& CurlLibrary::Shared() { return OpenedOnce<CurlLibrary>(kCurlLibraryName); }

}  // namespace platform
