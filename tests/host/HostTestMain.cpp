// The host end-to-end tests run in a process of their own: the host registers every class it
// has, then loads the library, as the loader would, before any test runs.
#include <gtest/gtest.h>

#include "tests/host/HostTest.h"

namespace {
device::SimulatedHost* launchedHost = nullptr;
}  // namespace

device::SimulatedHost& Host() {
  return *launchedHost;
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::SimulatedHost host;
  host.Launch();
  launchedHost = &host;
  return RUN_ALL_TESTS();
}
