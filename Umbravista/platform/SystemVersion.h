#pragma once

#include <string_view>

// The operating system's version check.
namespace umbravista::platform {

// Whether the running system's version is at least major.minor.patch, compared as major, then
// minor, then patch. Asks NSProcessInfo's isOperatingSystemAtLeastVersion: where the system has it
// (iOS 8 on); before that, compares UIDevice's systemVersion text with VersionTextIsAtLeast. The
// platform reads the version once per process; the library keeps nothing.
bool SystemVersionIsAtLeast(long major, long minor, long patch);

// Whether a version written as text, such as "6.1.3" or "7.0", is at least major.minor.patch.
// Up to three numbers separated by dots are read, compared number by number; a number not written
// counts as 0, and reading stops at the first character that continues no number ("7.0 beta" is
// 7.0.0, "" and "x" are 0.0.0). A number too large for a long counts as the largest long.
[[nodiscard]] bool VersionTextIsAtLeast(std::string_view version, long major, long minor,
                                        long patch);

}  // namespace umbravista::platform
