#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/SettingsWriter.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// The simulated host that this test process launched, with the library loaded.
device::SimulatedHost& Host();

// A colour from six hexadecimal digits and an alpha, owned by the caller.
id NewHexColour(const char* sixDigits, double alpha = 1.0);

// Each test starts with no settings file, an empty trace and a pool that is drained at its end,
// and checks that it leaked no colour.
class HostTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void WriteSettings(const device::SettingEntries& entries,
                     device::PropertyListFormat format = device::PropertyListFormat::kXml);
  void RemoveSettings();

  // Sends `selector` to `receiver` as the host would, and keeps nothing.
  template <typename Result = void, typename... Arguments>
  Result Send(id receiver, const char* selector, Arguments... arguments) {
    return device::Message<Result>(receiver, selector, arguments...);
  }

  // A new view of `className`, released when the test ends.
  id MakeView(const char* className = "UIView");
  // A colour released when the test ends.
  id Keep(id object);

  std::string BackgroundOf(id view);
  std::string BorderOf(id view);

 private:
  std::optional<device::AutoreleasePool> pool_;
  std::vector<id> kept_;
  long coloursBefore_ = 0;
  long objectsBefore_ = 0;
  long cgColoursBefore_ = 0;
};
