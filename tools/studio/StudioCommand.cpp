#include "tools/studio/StudioCommand.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <variant>

#include "device/Foundation/NSObject.h"
#include "tools/studio/SettingsAdapter.h"
#include "tools/studio/StudioServer.h"
#include "tools/studio/StudioSession.h"

namespace studio {
namespace {

StudioSettings StartingSettings(const std::string& path) {
  if (path.empty()) return {};
  auto read = ReadSettingsFileAt(path);
  if (const std::string* why = std::get_if<std::string>(&read)) throw std::runtime_error(*why);
  for (const std::string& note : std::get<OpenedSettings>(read).notes) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), note.c_str());
  }
  return std::get<OpenedSettings>(read).settings;
}

// SIGINT and SIGTERM, blocked in every thread and taken by sigwait, so that stopping is ordinary
// code rather than a signal handler.
class StopSignals {
 public:
  StopSignals() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
  }
  ~StopSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  void Wait() const {
    int received = 0;
    sigwait(&signals_, &received);
  }

 private:
  sigset_t signals_{};
  sigset_t previous_{};
};

}  // namespace

int RunStudio(const StudioOptions& options) {
  if (options.port < 0 || options.port > 65535) {
    throw std::runtime_error("the port is a number from 0 to 65535");
  }
  const StudioSettings settings = StartingSettings(options.settingsPath);
  // Before any thread starts, so that every thread inherits the blocked signals.
  const StopSignals stopSignals;
  // Zombies, the simulated device's guard against use after free, keep every object the screens
  // were ever built with; a studio that redraws at every keystroke would grow without end.
  device::SetZombiesEnabled(false);
  StudioSession session(settings);
  StudioServer server(session);
  const int port = server.Bind(options.port);

  bool served = true;
  std::thread serving([&] {
    served = server.Serve();
    // A server that stopped by itself wakes the waiting thread as a signal would.
    if (!served) kill(getpid(), SIGTERM);
  });
  std::printf("studio: http://127.0.0.1:%d/ (Ctrl-C stops it)\n", port);
  std::fflush(stdout);
  stopSignals.Wait();
  server.Stop();
  serving.join();
  std::printf("studio: stopped\n");
  if (!served) throw std::runtime_error("the server stopped serving");
  return 0;
}

}  // namespace studio
