// The sound server's outputs, asked through libpulse loaded at run time.
// SDL's PulseAudio backend reads the server's default sink name without
// checking it: SDL 2 when it starts, SDL 3 also whenever the server changes.
// A PulseAudio server with no sink at all (the only headphones left, every
// sink module unloaded) names none, and the backend crashes on the NULL name.
// This lets the caller wait until a sink is there, and tell PulseAudio from
// PipeWire's service, which names a placeholder sink instead.
#include "platform/sdl/sound_server_probe.h"

#include <pulse/pulseaudio.h>

#include <dlfcn.h>

#include <chrono>
#include <cstring>

namespace plat {

namespace {

// The few libpulse entry points the probe calls.
struct PulseApi {
    void* library = nullptr;
    decltype(&pa_mainloop_new) mainloopNew = nullptr;
    decltype(&pa_mainloop_free) mainloopFree = nullptr;
    decltype(&pa_mainloop_get_api) mainloopApi = nullptr;
    decltype(&pa_mainloop_prepare) mainloopPrepare = nullptr;
    decltype(&pa_mainloop_poll) mainloopPoll = nullptr;
    decltype(&pa_mainloop_dispatch) mainloopDispatch = nullptr;
    decltype(&pa_context_new) contextNew = nullptr;
    decltype(&pa_context_connect) contextConnect = nullptr;
    decltype(&pa_context_get_state) contextState = nullptr;
    decltype(&pa_context_get_server_info) contextServerInfo = nullptr;
    decltype(&pa_context_disconnect) contextDisconnect = nullptr;
    decltype(&pa_context_unref) contextUnref = nullptr;
    decltype(&pa_operation_unref) operationUnref = nullptr;
};

template <typename F>
bool bind(void* library, const char* name, F& out)
{
    out = reinterpret_cast<F>(dlsym(library, name));
    return out != nullptr;
}

// Loaded once and kept for the process; null members when it is missing.
const PulseApi& pulseApi()
{
    static const PulseApi api = [] {
        PulseApi a;
        void* library = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library) return a;
        const bool all = bind(library, "pa_mainloop_new", a.mainloopNew) &&
                         bind(library, "pa_mainloop_free", a.mainloopFree) &&
                         bind(library, "pa_mainloop_get_api", a.mainloopApi) &&
                         bind(library, "pa_mainloop_prepare", a.mainloopPrepare) &&
                         bind(library, "pa_mainloop_poll", a.mainloopPoll) &&
                         bind(library, "pa_mainloop_dispatch", a.mainloopDispatch) &&
                         bind(library, "pa_context_new", a.contextNew) &&
                         bind(library, "pa_context_connect", a.contextConnect) &&
                         bind(library, "pa_context_get_state", a.contextState) &&
                         bind(library, "pa_context_get_server_info", a.contextServerInfo) &&
                         bind(library, "pa_context_disconnect", a.contextDisconnect) &&
                         bind(library, "pa_context_unref", a.contextUnref) &&
                         bind(library, "pa_operation_unref", a.operationUnref);
        if (!all) {
            dlclose(library);
            return PulseApi{};
        }
        a.library = library;
        return a;
    }();
    return api;
}

struct ProbeResult {
    bool answered = false;
    bool hasSink = false;
    bool pipeWire = false;
};

void serverInfoReceived(pa_context*, const pa_server_info* info, void* data)
{
    auto* result = static_cast<ProbeResult*>(data);
    result->answered = true;
    result->hasSink = info && info->default_sink_name && info->default_sink_name[0] != '\0';
    // "PulseAudio (on PipeWire 1.0.5)"; PulseAudio itself says "pulseaudio".
    result->pipeWire = info && info->server_name && std::strstr(info->server_name, "PipeWire");
}

} // namespace

SoundServer probeSoundServer(int timeoutMs, bool* onPipeWire)
{
    if (onPipeWire) *onPipeWire = false;
    const PulseApi& pa = pulseApi();
    if (!pa.library) return SoundServer::Unknown;
    pa_mainloop* loop = pa.mainloopNew();
    if (!loop) return SoundServer::Unknown;
    pa_context* context = pa.contextNew(pa.mainloopApi(loop), "nordglow probe");
    ProbeResult result;
    if (context && pa.contextConnect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        pa_operation* query = nullptr;
        bool failed = false;
        while (!result.answered && !failed) {
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            // One wait of the loop, never past the deadline.
            if (pa.mainloopPrepare(loop, static_cast<int>(left.count())) < 0 || pa.mainloopPoll(loop) < 0 ||
                pa.mainloopDispatch(loop) < 0)
                break;
            const pa_context_state_t state = pa.contextState(context);
            failed = state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED;
            if (state == PA_CONTEXT_READY && !query) {
                query = pa.contextServerInfo(context, serverInfoReceived, &result);
                failed = query == nullptr;
            }
        }
        if (query) pa.operationUnref(query);
        pa.contextDisconnect(context);
    }
    if (context) pa.contextUnref(context);
    pa.mainloopFree(loop);
    if (!result.answered) return SoundServer::Unknown;
    if (onPipeWire) *onPipeWire = result.pipeWire;
    return result.hasSink ? SoundServer::HasOutput : SoundServer::NoOutput;
}

} // namespace plat
