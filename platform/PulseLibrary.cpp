#include "platform/PulseLibrary.h"

namespace platform {

PulseLibrary::PulseLibrary(const char* fileName) : library_(fileName) {
  SharedLibrary& l = library_;
  Api& a = api_;
  const bool resolved =
      l.Resolve("pa_mainloop_new", a.mainloopNew) && l.Resolve("pa_mainloop_free", a.mainloopFree) &&
      l.Resolve("pa_mainloop_get_api", a.mainloopGetApi) &&
      l.Resolve("pa_mainloop_iterate", a.mainloopIterate) &&
      l.Resolve("pa_mainloop_prepare", a.mainloopPrepare) &&
      l.Resolve("pa_mainloop_poll", a.mainloopPoll) &&
      l.Resolve("pa_mainloop_dispatch", a.mainloopDispatch) &&
      l.Resolve("pa_context_new", a.contextNew) && l.Resolve("pa_context_connect", a.contextConnect) &&
      l.Resolve("pa_context_disconnect", a.contextDisconnect) &&
      l.Resolve("pa_context_unref", a.contextUnref) &&
      l.Resolve("pa_context_get_state", a.contextGetState) &&
      l.Resolve("pa_context_get_server_info", a.contextGetServerInfo) &&
      l.Resolve("pa_context_set_subscribe_callback", a.contextSetSubscribeCallback) &&
      l.Resolve("pa_context_subscribe", a.contextSubscribe) &&
      l.Resolve("pa_operation_get_state", a.operationGetState) &&
      l.Resolve("pa_operation_unref", a.operationUnref) && l.Resolve("pa_stream_new", a.streamNew) &&
      l.Resolve("pa_stream_connect_record", a.streamConnectRecord) &&
      l.Resolve("pa_stream_disconnect", a.streamDisconnect) &&
      l.Resolve("pa_stream_unref", a.streamUnref) &&
      l.Resolve("pa_stream_get_state", a.streamGetState) &&
      l.Resolve("pa_stream_readable_size", a.streamReadableSize) &&
      l.Resolve("pa_stream_peek", a.streamPeek) && l.Resolve("pa_stream_drop", a.streamDrop);
  if (!resolved) api_ = Api{};
}

const PulseLibrary& PulseLibrary::Shared() { return OpenedOnce<PulseLibrary>(kPulseLibraryName); }

}  // namespace platform
