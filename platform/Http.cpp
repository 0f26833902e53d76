#include "platform/Http.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "platform/CurlLibrary.h"

namespace platform {
namespace {

constexpr int kProgressStart = 0;
constexpr int kProgressHandle = 2;
constexpr int kProgressAnswered = 8;
constexpr int kProgressBody = 10;
constexpr int kProgressDone = 100;
constexpr int kProgressBodySpan = kProgressDone - kProgressBody;
constexpr const char* kAllowedProtocols = "http,https";
constexpr const char* kTempSuffix = ".part-XXXXXX";
// CURLOPT_SSL_VERIFYHOST: the certificate must name the host asked for.
constexpr long kVerifyHostName = 2;

using CurlApi = CurlLibrary::Api;

struct CurlCleanup {
  decltype(CurlApi::easyCleanup) cleanup = nullptr;
  void operator()(CURL* handle) const { cleanup(handle); }
};
struct HeaderListCleanup {
  decltype(CurlApi::slistFreeAll) freeAll = nullptr;
  void operator()(curl_slist* list) const { freeAll(list); }
};
using CurlHandle = std::unique_ptr<CURL, CurlCleanup>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListCleanup>;

// The library a fetch uses: the one its options name, else the process's own (opened now when
// this is the first fetch). Null when it cannot be used.
const CurlApi* LibraryFor(const FetchOptions& options) {
  const CurlLibrary& library = options.library != nullptr ? *options.library : CurlLibrary::Shared();
  return library.Loaded() ? &library.Calls() : nullptr;
}

// Reports each progress value once, and only when it changed.
class ProgressPoster {
 public:
  explicit ProgressPoster(const FetchProgress& callback) : callback_(callback) {}
  void Post(int percent) {
    if (percent == last_) return;
    last_ = percent;
    if (callback_) callback_(percent);
  }

 private:
  const FetchProgress& callback_;
  int last_ = -1;
};

using SteadyClock = std::chrono::steady_clock;

// What the transfer callbacks share: the stop flag, whether it stopped the transfer, and when
// the last byte arrived.
struct Transfer {
  const CurlApi* curl = nullptr;
  CURL* handle = nullptr;
  const std::atomic<bool>* keepGoing = nullptr;
  std::chrono::seconds stallLimit{kFetchStallSeconds};
  bool stopped = false;
  curl_off_t received = -1;
  SteadyClock::time_point lastArrival = SteadyClock::now();

  bool ShouldStop() {
    if (keepGoing != nullptr && !keepGoing->load()) stopped = true;
    return stopped;
  }
  bool Stalled(curl_off_t total) {
    const SteadyClock::time_point now = SteadyClock::now();
    if (total != received) {
      received = total;
      lastArrival = now;
    }
    return now - lastArrival > stallLimit;
  }
};

// Called about once a second also while no data flows (connecting, a stalled server), so a
// cleared flag or a silent server is noticed there too.
int OnTransferInfo(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t) {
  auto* transfer = static_cast<Transfer*>(user);
  return transfer->ShouldStop() || transfer->Stalled(downloaded) ? 1 : 0;
}

bool AppendHeader(const CurlApi& curl, HeaderList& list, const char* line) {
  curl_slist* const grown = curl.slistAppend(list.get(), line);
  if (grown == nullptr) return false;
  (void)list.release();
  list.reset(grown);
  return true;
}

// A handle for GET `url` with every request option set; null when the library failed.
CurlHandle NewRequest(const CurlApi& curl, const std::string& url, const FetchOptions& options,
                      Transfer& transfer, HeaderList& headers) {
  CurlHandle handle(curl.easyInit(), CurlCleanup{curl.easyCleanup});
  if (!handle) return nullptr;
  // Cache bypass on every hop: the origin and any proxy must answer afresh.
  if (!AppendHeader(curl, headers, "Accept: */*") ||
      !AppendHeader(curl, headers, "Cache-Control: no-cache") ||
      !AppendHeader(curl, headers, "Pragma: no-cache")) {
    return nullptr;
  }
  CURL* const h = handle.get();
  const auto setopt = curl.easySetopt;
  transfer.curl = &curl;
  transfer.handle = h;
  transfer.keepGoing = options.keepGoing;
  transfer.stallLimit = std::chrono::seconds(options.stallSeconds);
  const bool set =
      setopt(h, CURLOPT_URL, url.c_str()) == CURLE_OK &&
      setopt(h, CURLOPT_USERAGENT, kHttpAgent) == CURLE_OK &&
      setopt(h, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK &&
      setopt(h, CURLOPT_PROTOCOLS_STR, kAllowedProtocols) == CURLE_OK &&
      setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols) == CURLE_OK &&
      setopt(h, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
      setopt(h, CURLOPT_MAXREDIRS, kFetchMaxRedirects) == CURLE_OK &&
      setopt(h, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
      setopt(h, CURLOPT_SSL_VERIFYHOST, kVerifyHostName) == CURLE_OK &&
      setopt(h, CURLOPT_FAILONERROR, 1L) == CURLE_OK &&
      setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      setopt(h, CURLOPT_BUFFERSIZE, static_cast<long>(kFetchPieceBytes)) == CURLE_OK &&
      setopt(h, CURLOPT_CONNECTTIMEOUT, options.stallSeconds) == CURLE_OK &&
      setopt(h, CURLOPT_NOPROGRESS, 0L) == CURLE_OK &&
      setopt(h, CURLOPT_XFERINFOFUNCTION, &OnTransferInfo) == CURLE_OK &&
      setopt(h, CURLOPT_XFERINFODATA, &transfer) == CURLE_OK;
  if (!set) return nullptr;
  return handle;
}

// Names under the reserved top-level domain "invalid" never resolve; failing them here spares a
// resolver round trip that, without a network, can take seconds.
bool NeverResolves(const CurlApi& curl, const std::string& url) {
  CURLU* const parsed = curl.url();
  if (parsed == nullptr) return false;
  char* host = nullptr;
  bool reserved = false;
  if (curl.urlSet(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl.urlGet(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK && host != nullptr) {
    std::string name(host);
    if (!name.empty() && name.back() == '.') name.pop_back();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    constexpr std::string_view kReserved = "invalid";
    reserved = name == kReserved ||
               (name.size() > kReserved.size() && name.ends_with(kReserved) &&
                name[name.size() - kReserved.size() - 1] == '.');
  }
  curl.free(host);
  curl.urlCleanup(parsed);
  return reserved;
}

int Perform(Transfer& transfer) {
  const CURLcode code = transfer.curl->easyPerform(transfer.handle);
  if (transfer.stopped) return kFetchStopped;
  return code == CURLE_OK ? kFetchCompleted : kFetchFailed;
}

// ---- FetchText ----

struct TextSink {
  Transfer transfer;
  std::string bytes;
};

size_t OnTextData(char* data, size_t, size_t size, void* user) {
  auto* sink = static_cast<TextSink*>(user);
  if (sink->transfer.ShouldStop() || size > kFetchTextLimit - sink->bytes.size()) return 0;
  sink->bytes.append(data, size);
  return size;
}

// ---- FetchFile ----

// The temporary file a body is written to; removed unless it was renamed to the target.
class PartFile {
 public:
  explicit PartFile(const std::string& target) : path_(target + kTempSuffix) {
    fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
    if (fd_ < 0) path_.clear();
  }
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
  ~PartFile() {
    Close();
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  bool Valid() const { return fd_ >= 0; }

  bool Write(const char* data, size_t size) {
    while (size > 0) {
      const ssize_t n = ::write(fd_, data, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      data += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  // Closes the file and moves it to `target`; false leaves nothing behind.
  bool Commit(const std::string& target) {
    if (!Close() || ::rename(path_.c_str(), target.c_str()) != 0) return false;
    path_.clear();
    return true;
  }

 private:
  bool Close() {
    if (fd_ < 0) return true;
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

  std::string path_;
  int fd_ = -1;
};

struct FileSink {
  Transfer transfer;
  PartFile* file = nullptr;
  ProgressPoster* progress = nullptr;
  bool bodyStarted = false;
  curl_off_t received = 0;

  void StartBody() {
    if (bodyStarted) return;
    bodyStarted = true;
    progress->Post(kProgressAnswered);
    progress->Post(kProgressBody);
  }
};

size_t OnFileData(char* data, size_t, size_t size, void* user) {
  auto* sink = static_cast<FileSink*>(user);
  if (sink->transfer.ShouldStop()) return 0;
  sink->StartBody();
  if (!sink->file->Write(data, size)) return 0;
  sink->received += static_cast<curl_off_t>(size);
  curl_off_t length = -1;
  if (sink->transfer.curl->easyGetinfo(sink->transfer.handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T,
                                       &length) == CURLE_OK &&
      length > 0) {
    const curl_off_t done = sink->received < length ? sink->received : length;
    sink->progress->Post(kProgressBody + static_cast<int>(done * kProgressBodySpan / length));
  }
  return size;
}

}  // namespace

int FetchText(const std::string& url, std::string& text, const FetchOptions& options) {
  text.clear();
  const CurlApi* const curl = LibraryFor(options);
  if (curl == nullptr) return kFetchNoHandle;
  if (NeverResolves(*curl, url)) return kFetchFailed;
  TextSink sink;
  HeaderList headers(nullptr, HeaderListCleanup{curl->slistFreeAll});
  const CurlHandle handle = NewRequest(*curl, url, options, sink.transfer, headers);
  if (!handle) return kFetchNoHandle;
  if (curl->easySetopt(handle.get(), CURLOPT_WRITEFUNCTION, &OnTextData) != CURLE_OK ||
      curl->easySetopt(handle.get(), CURLOPT_WRITEDATA, &sink) != CURLE_OK) {
    return kFetchNoHandle;
  }
  const int result = Perform(sink.transfer);
  if (result == kFetchCompleted) text = std::move(sink.bytes);
  return result;
}

int FetchFile(const std::string& url, const std::string& targetPath, const FetchProgress& progress,
              const FetchOptions& options) {
  ProgressPoster poster(progress);
  poster.Post(kProgressStart);
  // A stale file must not pass for this download, whatever its outcome.
  if (::unlink(targetPath.c_str()) != 0 && errno != ENOENT) return kFetchFailed;
  const CurlApi* const curl = LibraryFor(options);
  if (curl == nullptr) return kFetchNoHandle;
  if (NeverResolves(*curl, url)) return kFetchFailed;
  FileSink sink;
  HeaderList headers(nullptr, HeaderListCleanup{curl->slistFreeAll});
  const CurlHandle handle = NewRequest(*curl, url, options, sink.transfer, headers);
  if (!handle) return kFetchNoHandle;
  poster.Post(kProgressHandle);
  PartFile file(targetPath);
  if (!file.Valid()) return kFetchFailed;
  sink.file = &file;
  sink.progress = &poster;
  if (curl->easySetopt(handle.get(), CURLOPT_WRITEFUNCTION, &OnFileData) != CURLE_OK ||
      curl->easySetopt(handle.get(), CURLOPT_WRITEDATA, &sink) != CURLE_OK) {
    return kFetchNoHandle;
  }
  const int result = Perform(sink.transfer);
  if (result != kFetchCompleted) return result;
  sink.StartBody();  // an empty body calls no data callback
  if (!file.Commit(targetPath)) return kFetchFailed;
  poster.Post(kProgressDone);
  return kFetchCompleted;
}

std::string HttpLibraryError() { return CurlLibrary::Shared().Error(); }

}  // namespace platform
