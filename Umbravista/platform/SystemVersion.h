#pragma once

// The operating system's version check.
namespace umbravista::platform {

// Whether the running system's version is at least major.minor.patch, compared as major, then
// minor, then patch. The platform reads the version once per process; the library keeps nothing.
bool SystemVersionIsAtLeast(long major, long minor, long patch);

}  // namespace umbravista::platform
