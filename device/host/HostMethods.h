#pragma once

#include <objc/runtime.h>

#include <set>
#include <string>
#include <vector>

#include "device/runtime/Runtime.h"

// Adds the host's own methods to its classes, less those that this version of the host lacks, so
// that a test can stand for an older or newer host whose classes answer fewer selectors.
namespace device {

class HostMethods {
 public:
  // `missing` names the methods to leave out as the platform writes them: "+[Class selector]" for
  // a class method, "-[Class selector]" for an instance method.
  explicit HostMethods(const std::vector<std::string>& missing);

  template <typename Function>
  void AddInstance(Class cls, const char* selector, Function* implementation) {
    if (!IsMissing('-', cls, selector)) AddInstanceMethod(cls, selector, implementation);
  }
  template <typename Function>
  void AddClass(Class cls, const char* selector, Function* implementation) {
    if (!IsMissing('+', cls, selector)) AddClassMethod(cls, selector, implementation);
  }

  // Raises std::invalid_argument when a name given as missing matched no method of a registered
  // class, so that a mistyped name fails loudly instead of leaving the method in place. Names of
  // classes that are themselves missing are not checked.
  void CheckEveryNameMatched() const;

 private:
  bool IsMissing(char kind, Class cls, const char* selector);

  std::set<std::string> missing_;
  std::set<std::string> matched_;
};

}  // namespace device
