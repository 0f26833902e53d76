// HTTP GET of update version texts and archives. Blocking; call from a worker thread (any thread
// may run its own fetch at the same time). Every request sends the program's agent string,
// "Accept: */*" and headers that make proxies and servers bypass their caches; https peers are
// verified against the system's certificates; at most 5 redirects are followed, within http and
// https only. A transfer that receives nothing for the stall time is abandoned.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

namespace platform {

class CurlLibrary;

// Results of FetchText and FetchFile.
inline constexpr int kFetchCompleted = 1;    // the whole body arrived
inline constexpr int kFetchStopped = -2;     // the keep-going flag was cleared
inline constexpr int kFetchFailed = -1;      // no connection, an HTTP error status, a broken transfer
inline constexpr int kFetchNoHandle = 0;     // the HTTP library is missing or could not be set up

inline constexpr const char* kHttpAgent = "IIC2.0/PC 5.5.0000";
inline constexpr std::size_t kFetchPieceBytes = 10240;
inline constexpr std::size_t kFetchTextLimit = 64 * 1024;
inline constexpr long kFetchMaxRedirects = 5;
inline constexpr long kFetchStallSeconds = 30;

// Progress of FetchFile in percent: 0 at the start, 2 with the HTTP handle set up, 8 once the
// server answered, 10 before the body, then up to 100 as the body arrives (when its length is
// known), 100 at the end of a completed transfer. Only changes are reported, in rising order.
// Called on the fetching thread; it must not block.
using FetchProgress = std::function<void(int percent)>;

struct FetchOptions {
  // Cleared by another thread to stop the transfer (result kFetchStopped). Null: never stopped.
  const std::atomic<bool>* keepGoing = nullptr;
  // Seconds without any received byte (also while connecting) after which the fetch fails.
  long stallSeconds = kFetchStallSeconds;
  // The HTTP library to fetch with; null: the process's own, opened by the first fetch.
  const CurlLibrary* library = nullptr;
};

// Why fetches answer kFetchNoHandle when the HTTP library cannot be opened: a text that starts
// with "network library unavailable"; empty when it works. Opens it, if no fetch did yet.
std::string HttpLibraryError();

// Fetches a small text into `text` (the body's bytes, UTF-8 expected). A body longer than
// kFetchTextLimit fails the fetch. `text` is empty unless the result is kFetchCompleted.
int FetchText(const std::string& url, std::string& text, const FetchOptions& options = {});

// Streams a body into `targetPath`. An existing file there is removed first; the body is written
// to a temporary file in the same folder and renamed to `targetPath` only when the transfer
// completed, so after the call the target exists exactly when the result is kFetchCompleted.
// An HTTP error status (400 and above) fails the fetch instead of saving the error page.
int FetchFile(const std::string& url, const std::string& targetPath, const FetchProgress& progress,
              const FetchOptions& options = {});

}  // namespace platform
