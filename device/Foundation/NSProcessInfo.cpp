#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "device/Foundation/Foundation.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

constexpr NSOperatingSystemVersion kDefaultSystemVersion{12, 4, 0};
constexpr long kFirstSystemWithVersionQuestions = 8;

std::atomic<bool> systemVersionRead{false};

// The platform reads its version once per process; a change to the environment afterwards is not
// seen, so a test cannot have two systems in one process by mistake.
const NSOperatingSystemVersion& SystemVersion() {
  static const NSOperatingSystemVersion version = [] {
    const char* text = std::getenv(kSystemVersionVariable);
    const std::optional<NSOperatingSystemVersion> parsed =
        ParseSystemVersion(text == nullptr ? "" : text);
    if (text != nullptr && *text != '\0' && !parsed) {
      throw PlatformException("NSInternalInconsistencyException",
                              std::string(kSystemVersionVariable) + " is no version: " + text);
    }
    systemVersionRead = true;
    return parsed.value_or(kDefaultSystemVersion);
  }();
  return version;
}

TraceArgument VersionArgument(const NSOperatingSystemVersion& version) {
  char text[80];
  std::snprintf(text, sizeof text, "{%ld,%ld,%ld}", version.majorVersion, version.minorVersion,
                version.patchVersion);
  return {text, nullptr};
}
TraceValue TracedVersion(const NSOperatingSystemVersion& version) {
  return TraceValue::Of<&VersionArgument>(version);
}

// Made at registration and never released, so the shared instance is one object for the whole
// process and a leak count taken around its first use does not see it appear.
id sharedProcessInfo = nullptr;

id ProcessInfo(id cls, SEL selector) {
  RecordCall(cls, selector);
  return sharedProcessInfo;
}

bool IsOperatingSystemAtLeastVersion(id self, SEL selector, NSOperatingSystemVersion wanted) {
  RecordCall(self, selector, {TracedVersion(wanted)});
  const NSOperatingSystemVersion& running = SystemVersion();
  if (running.majorVersion != wanted.majorVersion) {
    return running.majorVersion > wanted.majorVersion;
  }
  if (running.minorVersion != wanted.minorVersion) {
    return running.minorVersion > wanted.minorVersion;
  }
  return running.patchVersion >= wanted.patchVersion;
}

NSOperatingSystemVersion OperatingSystemVersion(id self, SEL selector) {
  RecordCall(self, selector);
  return SystemVersion();
}

}  // namespace

void RegisterNSProcessInfo() {
  // The version questions came with iOS 8: an older system has neither, as on the device. So the
  // version is read as the class is made, once for the process as ever.
  const bool asksVersions = SystemVersion().majorVersion >= kFirstSystemWithVersionQuestions;
  Class cls = DefineClass("NSProcessInfo", "NSObject", {}, [&](Class cls) {
    AddClassMethod(cls, "processInfo", &ProcessInfo);
    if (!asksVersions) return;
    AddInstanceMethod(cls, "isOperatingSystemAtLeastVersion:", &IsOperatingSystemAtLeastVersion);
    AddInstanceMethod(cls, "operatingSystemVersion", &OperatingSystemVersion);
  });
  if (cls != nullptr) sharedProcessInfo = NewObject("NSProcessInfo");
}

std::optional<NSOperatingSystemVersion> ParseSystemVersion(const std::string& text) {
  long parts[3] = {0, 0, 0};
  const char* cursor = text.c_str();
  for (int index = 0; index < 3; ++index) {
    char* end = nullptr;
    errno = 0;
    if (*cursor < '0' || *cursor > '9') return std::nullopt;
    parts[index] = std::strtol(cursor, &end, 10);
    if (errno != 0) return std::nullopt;
    cursor = end;
    if (*cursor == '\0') break;
    if (*cursor != '.' || index == 2) return std::nullopt;
    ++cursor;
  }
  return NSOperatingSystemVersion{parts[0], parts[1], parts[2]};
}

std::string SystemVersionText() {
  const NSOperatingSystemVersion& version = SystemVersion();
  std::string text =
      std::to_string(version.majorVersion) + "." + std::to_string(version.minorVersion);
  if (version.patchVersion != 0) text += "." + std::to_string(version.patchVersion);
  return text;
}

std::optional<NSOperatingSystemVersion> SystemVersionAnswered() {
  if (!systemVersionRead) return std::nullopt;
  return SystemVersion();
}

}  // namespace device
