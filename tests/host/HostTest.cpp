#include "tests/host/HostTest.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "device/CoreGraphics/CoreGraphicsDevice.h"

id NewHexColour(const char* sixDigits, double alpha) {
  const unsigned long value = std::strtoul(sixDigits, nullptr, 16);
  const auto component = [value](unsigned shift) {
    return static_cast<double>((value >> shift) & 0xFFU) / 255.0;
  };
  return device::NewRGBColor(component(16), component(8), component(0), alpha);
}

id ClassObject(const char* name) {
  return reinterpret_cast<id>(objc_getClass(name));
}

id IvarObject(id object, const char* name) {
  void* value = nullptr;
  object_getInstanceVariable(object, name, &value);
  return static_cast<id>(value);
}

std::string Steps(const std::vector<std::string>& selectors) {
  std::string steps;
  for (const device::TraceCall& call : device::TraceCalls()) {
    const bool read = call.selector == "open";
    if (!read && !selectors.empty() &&
        std::find(selectors.begin(), selectors.end(), call.selector) == selectors.end()) {
      continue;
    }
    steps += (steps.empty() ? "" : " | ") + (read ? std::string("read") : call.Describe());
  }
  return steps;
}

void HostTest::SetUp() {
  RemoveSettings();
  coloursBefore_ = device::LiveObjects("UIColor");
  objectsBefore_ = device::LiveObjects();
  cgColoursBefore_ = device::LiveCGColors();
  pool_.emplace();
  device::ClearTrace();
}

void HostTest::TearDown() {
  for (id object : kept_) device::Message(object, "release");
  kept_.clear();
  pool_.reset();
  EXPECT_EQ(device::LiveObjects("UIColor"), coloursBefore_) << "colours leaked or over-released";
  EXPECT_EQ(device::LiveCGColors(), cgColoursBefore_) << "CGColors leaked or over-released";
  // Strings, numbers and views too: the library releases every object it makes for itself.
  EXPECT_EQ(device::LiveObjects(), objectsBefore_) << "objects leaked or over-released";
  RemoveSettings();
}

void HostTest::WriteSettings(const device::SettingEntries& entries,
                             device::PropertyListFormat format) {
  device::WriteSettingsFile(Host().SettingsPath(), entries, format);
}

void HostTest::RemoveSettings() {
  std::error_code ignored;
  std::filesystem::remove(Host().SettingsPath(), ignored);
}

id HostTest::MakeView(const char* className) {
  return Keep(device::NewView(className));
}

id HostTest::Receiver(const char* className, bool classMethod) {
  if (classMethod) return ClassObject(className);
  device::PausedTrace quiet;
  return Keep(device::Message<id>(device::Message<id>(ClassObject(className), "alloc"), "init"));
}

id HostTest::Keep(id object) {
  kept_.push_back(object);
  return object;
}

std::string HostTest::BackgroundOf(id view) {
  device::PausedTrace quiet;
  return device::ColorText(device::Message<id>(view, "backgroundColor"));
}

std::string HostTest::BorderOf(id view) {
  device::PausedTrace quiet;
  return device::CGColorText(
      device::Message<CGColorRef>(device::Message<id>(view, "layer"), "borderColor"));
}
