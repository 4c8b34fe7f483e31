#pragma once

#include <string>

// `umbravista studio`: design a settings file in the browser, with the host's screens themed live.
namespace studio {

inline constexpr int kDefaultPort = 8765;

struct StudioOptions {
  int port = kDefaultPort;   // On 127.0.0.1; 0 picks a free port.
  std::string settingsPath;  // A settings file (XML or binary) to start from; empty for none.
};

// Reads the starting settings, starts the simulated host with the library loaded, and serves the
// studio on 127.0.0.1 until SIGINT or SIGTERM, after which it closes every connection within a
// second (whatever its client does), removes its simulated device and answers 0. Prints the
// address it serves once it is ready. Raises std::runtime_error when the settings file cannot be
// read as settings (a FIFO, a device or a directory among them, refused without waiting) or the
// port cannot be bound. Writes nothing outside the simulated device's own temporary directory.
int RunStudio(const StudioOptions& options);

}  // namespace studio
