// The main job until the preview exists: injects the library into the simulated host, prints
// which hooks were installed, then themes a view and prints what it ended with.
#include <cstdio>
#include <exception>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"

namespace {

void PrintHooks() {
  int installed = 0;
  for (const device::HookRecord& hook : device::HookRecords()) {
    const char* kind = hook.metaclass ? "+" : "-";
    const char* cls = hook.className.empty() ? "(no class)" : hook.className.c_str();
    std::printf("  %s %s[%s %s]\n", hook.installed ? "installed" : "missing  ", kind, cls,
                hook.selector.c_str());
    installed += hook.installed ? 1 : 0;
  }
  std::printf("%d of %zu hooks installed\n", installed, device::HookRecords().size());
}

void ThemeAView() {
  device::AutoreleasePool pool;
  id view = device::NewView("IGFeedView");
  id white = device::NewGreyColor(1.0, 1.0);
  id border = device::NewRGBColor(0.8, 0.8, 0.8, 1.0);
  device::Message(view, "setBackgroundColor:", white);
  device::Message(device::Message<id>(view, "layer"),
                  "setBorderColor:", device::Message<CGColorRef>(border, "CGColor"));
  device::LayoutTree(view);
  std::printf("a feed view given a white background and a light grey border ended with:\n");
  std::printf("  background %s, border %s\n",
              device::ColorText(device::Message<id>(view, "backgroundColor")).c_str(),
              device::CGColorText(
                  device::Message<CGColorRef>(device::Message<id>(view, "layer"), "borderColor"))
                  .c_str());
  device::Message(border, "release");
  device::Message(white, "release");
  device::Message(view, "release");
}

}  // namespace

int main() {
  try {
    device::SimulatedHost host;
    host.Launch();
    std::printf("Umbravista loaded into the simulated host (no settings file: built-in colours)\n");
    PrintHooks();
    ThemeAView();
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "umbravista-inject: %s\n", error.what());
    return 1;
  }
}
