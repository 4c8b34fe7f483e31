#include "platform/SystemVersion.h"

#include <array>
#include <limits>

#include "Foundation/Foundation.h"
#include "platform/Foundation.h"
#include "platform/ObjectiveC.h"

namespace umbravista::platform {

bool SystemVersionIsAtLeast(long major, long minor, long patch) {
  id processInfo = Send<id>("NSProcessInfo"_class, "processInfo"_sel);
  if (RespondsTo(processInfo, "isOperatingSystemAtLeastVersion:"_sel)) {
    return Send<BOOL>(processInfo, "isOperatingSystemAtLeastVersion:"_sel,
                      NSOperatingSystemVersion{major, minor, patch});
  }
  // iOS 6 and 7 have no such question; their device names its version as text.
  id device = Send<id>("UIDevice"_class, "currentDevice"_sel);
  return VersionTextIsAtLeast(StringText(Send<id>(device, "systemVersion"_sel)), major, minor,
                              patch);
}

bool VersionTextIsAtLeast(std::string_view version, long major, long minor, long patch) {
  constexpr long kLargest = std::numeric_limits<long>::max();
  std::array<long, 3> written = {0, 0, 0};
  std::size_t at = 0;
  for (long& number : written) {
    if (at >= version.size() || version[at] < '0' || version[at] > '9') break;
    for (; at < version.size() && version[at] >= '0' && version[at] <= '9'; ++at) {
      const long digit = version[at] - '0';
      number = number > (kLargest - digit) / 10 ? kLargest : number * 10 + digit;
    }
    if (at >= version.size() || version[at] != '.') break;
    ++at;
  }
  const std::array<long, 3> wanted = {major, minor, patch};
  return written >= wanted;
}

}  // namespace umbravista::platform
