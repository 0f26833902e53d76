// The HTTP library, opened on first use instead of at start-up: nothing talks HTTP in the first
// seconds, and mapping it with its TLS stack costs several MiB of resident memory in a program
// that mostly sits idle. The symbols the fetches call are resolved once, when it is opened.
//
// Ownership: an instance owns its library (closed with it). The process-wide instance of
// Shared() lives until exit and is never closed, since a fetch may still run on a thread that
// is torn down after static destructors.
// Threads: Shared() from any thread (the first caller opens it, the others wait for that);
// an opened instance is read-only and may be used from any thread.
#pragma once

#include <curl/curl.h>

#include <string>

#include "platform/SharedLibrary.h"

namespace platform {

inline constexpr const char* kCurlLibraryName = "libcurl.so.4";
// The start of Error() whenever the library cannot be used.
inline constexpr const char* kNetworkLibraryUnavailable = "network library unavailable";

class CurlLibrary {
 public:
  // The library's entry points the fetches call, typed as its header declares them.
  struct Api {
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_global_cleanup) globalCleanup = nullptr;
    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_perform) easyPerform = nullptr;
    decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
    decltype(&curl_slist_append) slistAppend = nullptr;
    decltype(&curl_slist_free_all) slistFreeAll = nullptr;
    decltype(&curl_url) url = nullptr;
    decltype(&curl_url_cleanup) urlCleanup = nullptr;
    decltype(&curl_url_set) urlSet = nullptr;
    decltype(&curl_url_get) urlGet = nullptr;
    decltype(&curl_free) free = nullptr;
  };

  // Opens `fileName` (a soname or a path), resolves every entry point and runs the library's
  // global set-up. On any failure nothing stays open and Error() says why.
  explicit CurlLibrary(const char* fileName);
  ~CurlLibrary();  // the global clean-up, then the library is closed
  CurlLibrary(const CurlLibrary&) = delete;
  CurlLibrary& operator=(const CurlLibrary&) = delete;

  // The process's instance of kCurlLibraryName, opened by the first call.
  static const CurlLibrary& Shared();

  bool Loaded() const { return library_.IsOpen(); }
  // Empty while Loaded(); else kNetworkLibraryUnavailable followed by the reason.
  const std::string& Error() const { return error_; }
  // Valid only while Loaded().
  const Api& Calls() const { return api_; }

 private:
  SharedLibrary library_;
  Api api_;
  std::string error_;
};

}  // namespace platform
