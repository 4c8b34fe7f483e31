// One UIView layout pass through the library's replacement, in the simulated host with the
// library loaded as the loader would load it, against its floor: the bare open, fstat, read and
// close of the settings file, once for each read that the pass makes (the counter "reads").
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <optional>
#include <string>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/filesystem/DeviceFileSystem.h"
#include "device/host/SettingsWriter.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace {

// A black view (black passes the setter) with a light grey border: the pass repaints both every
// time, its most expensive road. `recording` says whether the trace records the pass, as in a
// test, or is paused, as while a host builds its screens.
void LayoutPass(benchmark::State& state, bool recording) {
  std::optional<device::PausedTrace> paused;
  if (!recording) paused.emplace();
  device::AutoreleasePool pool;
  id view = device::NewView("UIView");
  id black = device::NewGreyColor(0.0, 1.0);
  id grey = device::NewRGBColor(0.8, 0.8, 0.8, 1.0);
  int reads = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      device::PausedTrace quiet;
      device::Message(view, "setBackgroundColor:", black);
      device::Message(device::Message<id>(view, "layer"),
                      "setBorderColor:", device::Message<CGColorRef>(grey, "CGColor"));
    }
    pool.Drain();
    device::ClearTrace();
    if (reads == 0) device::StartRecordingOpens();
    state.ResumeTiming();
    device::Message(view, "layoutSubviews");
    if (reads == 0) {
      state.PauseTiming();
      reads = static_cast<int>(device::StopRecordingOpens().size());
      state.ResumeTiming();
    }
  }
  state.counters["reads"] = reads;
  device::Message(grey, "release");
  device::Message(black, "release");
  device::Message(view, "release");
}

// The floor of one read of the settings: the system calls alone, on the same file.
void BareRead(benchmark::State& state, const std::string& path) {
  static std::array<char, 64 * 1024 + 1> buffer{};
  for (auto _ : state) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg): open(2) is variadic only for its mode.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    ::fstat(descriptor, &status);
    benchmark::DoNotOptimize(::read(descriptor, buffer.data(), buffer.size()));
    ::close(descriptor);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  device::SetZombiesEnabled(false);
  device::SimulatedHost host;
  host.Launch();
  {
    device::PausedTrace quiet;
    device::WriteSettingsFile(host.SettingsPath(),
                              {{"enabled", true}, {"MainBGColor", std::string("#101010")}});
  }
  benchmark::RegisterBenchmark("BareRead/settings", BareRead, host.SettingsPath().string());
  benchmark::RegisterBenchmark("UIViewLayoutPass/ThemeOn", LayoutPass, true);
  benchmark::RegisterBenchmark("UIViewLayoutPass/ThemeOn/TracePaused", LayoutPass, false);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
