// The audio server's client library, opened by the capture thread the first time music levels
// are wanted: most sessions never show a music mode, and mapping the library with its codecs
// at start-up costs about 2 MiB of resident memory. The entry points the capture calls are
// resolved once, when it is opened.
//
// Ownership: an instance owns its library (closed with it). The process-wide instance of
// Shared() lives until exit and is never closed, like CurlLibrary's.
// Threads: Shared() from any thread (the first caller opens it); an opened instance is
// read-only and may be used from any thread.
#pragma once

#include <pulse/pulseaudio.h>

#include <string>

#include "platform/SharedLibrary.h"

namespace platform {

inline constexpr const char* kPulseLibraryName = "libpulse.so.0";

class PulseLibrary {
 public:
  struct Api {
    decltype(&pa_mainloop_new) mainloopNew = nullptr;
    decltype(&pa_mainloop_free) mainloopFree = nullptr;
    decltype(&pa_mainloop_get_api) mainloopGetApi = nullptr;
    decltype(&pa_mainloop_iterate) mainloopIterate = nullptr;
    decltype(&pa_mainloop_prepare) mainloopPrepare = nullptr;
    decltype(&pa_mainloop_poll) mainloopPoll = nullptr;
    decltype(&pa_mainloop_dispatch) mainloopDispatch = nullptr;
    decltype(&pa_context_new) contextNew = nullptr;
    decltype(&pa_context_connect) contextConnect = nullptr;
    decltype(&pa_context_disconnect) contextDisconnect = nullptr;
    decltype(&pa_context_unref) contextUnref = nullptr;
    decltype(&pa_context_get_state) contextGetState = nullptr;
    decltype(&pa_context_get_server_info) contextGetServerInfo = nullptr;
    decltype(&pa_context_set_subscribe_callback) contextSetSubscribeCallback = nullptr;
    decltype(&pa_context_subscribe) contextSubscribe = nullptr;
    decltype(&pa_operation_get_state) operationGetState = nullptr;
    decltype(&pa_operation_unref) operationUnref = nullptr;
    decltype(&pa_stream_new) streamNew = nullptr;
    decltype(&pa_stream_connect_record) streamConnectRecord = nullptr;
    decltype(&pa_stream_disconnect) streamDisconnect = nullptr;
    decltype(&pa_stream_unref) streamUnref = nullptr;
    decltype(&pa_stream_get_state) streamGetState = nullptr;
    decltype(&pa_stream_readable_size) streamReadableSize = nullptr;
    decltype(&pa_stream_peek) streamPeek = nullptr;
    decltype(&pa_stream_drop) streamDrop = nullptr;
  };

  // Opens `fileName` (a soname or a path) and resolves every entry point; on any failure
  // nothing stays open and Problem() says why.
  explicit PulseLibrary(const char* fileName);

  // The process's instance of kPulseLibraryName, opened by the first call.
  static const PulseLibrary& Shared();

  bool Loaded() const { return library_.IsOpen(); }
  const std::string& Problem() const { return library_.Problem(); }
  // Valid only while Loaded().
  const Api& Calls() const { return api_; }

 private:
  SharedLibrary library_;
  Api api_;
};

}  // namespace platform
