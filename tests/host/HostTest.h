#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

// The class object of the class named `name`, as a receiver of class methods.
id ClassObject(const char* name);

// The object that the instance variable `name` of `object` holds, read without a message.
id IvarObject(id object, const char* name);

// The calls traced since the last ClearTrace, each as TraceCall::Describe() gives it (a read of
// the settings as "read"), joined by " | ". With `selectors`, only calls of those selectors.
std::string Steps(const std::vector<std::string>& selectors = {});

// Each test starts with no settings file, an empty trace and a pool that is drained at its end,
// and checks that it leaked no colour.
class HostTest : public testing::Test {
 public:
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
  // The receiver of a getter: the class itself for a class method, else a new instance of it,
  // released when the test ends.
  id Receiver(const char* className, bool classMethod);
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
