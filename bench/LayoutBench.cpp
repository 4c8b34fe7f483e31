// One UIView layout pass through the library's replacement, in the simulated host with the
// library loaded as the loader would load it, against the same pass without the library.
#include <benchmark/benchmark.h>

#include <optional>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
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
    state.ResumeTiming();
    device::Message(view, "layoutSubviews");
  }
  device::Message(grey, "release");
  device::Message(black, "release");
  device::Message(view, "release");
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
  benchmark::RegisterBenchmark("UIViewLayoutPass/ThemeOn", LayoutPass, true);
  benchmark::RegisterBenchmark("UIViewLayoutPass/ThemeOn/TracePaused", LayoutPass, false);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
