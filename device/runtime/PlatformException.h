#pragma once

#include <stdexcept>
#include <string>

namespace device {

// What the platform raises where Foundation would raise an NSException: an unrecognised
// selector, an unknown key for valueForKey:, an over-release. A host that does not catch it
// dies, as an application on the device does; tests catch it to see that something failed.
class PlatformException : public std::runtime_error {
 public:
  PlatformException(const std::string& name, const std::string& reason)
      : std::runtime_error(name + ": " + reason), name_(name) {}

  [[nodiscard]] const std::string& name() const { return name_; }

 private:
  std::string name_;
};

}  // namespace device
