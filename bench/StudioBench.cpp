// The studio's redraw: one change of settings written to the simulated device's file, the five
// themed screens built, drawn and encoded as PNG again, and the checker run on the file, as one
// PATCH of the page costs the server (without HTTP and JSON).
#include <benchmark/benchmark.h>

#include <string>

#include "device/Foundation/NSObject.h"
#include "tools/studio/StudioSession.h"

namespace {

studio::StudioSession* session = nullptr;

void StudioChange(benchmark::State& state) {
  int change = 0;
  while (state.KeepRunning()) {
    // A different background each time, so that nothing could be answered from before.
    const std::string colour = (++change % 2 == 0) ? "#203040" : "#102030";
    const studio::StudioState drawn =
        session->Change(session->Version(), [&](const studio::StudioSettings& current) {
          studio::StudioSettings next = current;
          next.colours["MainBGColor"] = colour;
          return next;
        });
    benchmark::DoNotOptimize(drawn.version);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  device::SetZombiesEnabled(false);
  studio::StudioSession studio;
  session = &studio;
  benchmark::RegisterBenchmark("StudioChange/FiveThemedScreens", StudioChange)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(5)
      ->Repetitions(9)
      ->ReportAggregatesOnly(true);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
