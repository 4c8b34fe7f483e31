#include "platform/SystemVersion.h"

#include "Foundation/Foundation.h"
#include "platform/ObjectiveC.h"

namespace umbravista::platform {

bool SystemVersionIsAtLeast(long major, long minor, long patch) {
  id processInfo = Send<id>(ClassObject("NSProcessInfo"), "processInfo");
  return Send<bool>(processInfo, "isOperatingSystemAtLeastVersion:",
                    NSOperatingSystemVersion{major, minor, patch});
}

}  // namespace umbravista::platform
