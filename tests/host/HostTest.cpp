#include "tests/host/HostTest.h"

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
