#include "device/host/HostMethods.h"

#include <stdexcept>

namespace device {

HostMethods::HostMethods(const std::vector<std::string>& missing)
    : missing_(missing.begin(), missing.end()) {}

bool HostMethods::IsMissing(char kind, Class cls, const char* selector) {
  const std::string name = std::string(1, kind) + "[" + class_getName(cls) + " " + selector + "]";
  if (missing_.count(name) == 0) return false;
  matched_.insert(name);
  return true;
}

void HostMethods::CheckEveryNameMatched() const {
  for (const std::string& name : missing_) {
    if (matched_.count(name) != 0) continue;
    const std::string::size_type open = name.find('[');
    const std::string::size_type space = name.find(' ');
    const bool wellFormed = name.size() > 3 && (name[0] == '+' || name[0] == '-') && open == 1 &&
                            space != std::string::npos && name.back() == ']';
    if (wellFormed && objc_getClass(name.substr(2, space - 2).c_str()) == nullptr) continue;
    throw std::invalid_argument("the host defines no method " + name + " to leave out");
  }
}

}  // namespace device
