// Asks the PulseAudio server (or PipeWire's PulseAudio service) whether it has
// an output, without SDL.
#pragma once

namespace plat {

enum class SoundServer {
    Unknown,     // no server answered in time, or its client library is missing
    NoOutput,    // a server answered and has no default sink
    HasOutput,   // a server answered and names a default sink
};

// Connects to the server the environment names (PULSE_SERVER, client.conf,
// the user's runtime folder), never starting one, and waits at most
// timeoutMs for its answer. The client library is loaded when needed, so
// the program runs where it is not installed. *onPipeWire, when given, tells
// whether the server that answered is PipeWire's PulseAudio service.
SoundServer probeSoundServer(int timeoutMs, bool* onPipeWire = nullptr);

} // namespace plat
