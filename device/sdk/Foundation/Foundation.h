#pragma once

// The simulated device's Foundation interface: the part of the platform's C interface that the
// library and the stand-ins compile against, with the platform's names and layout.

extern "C" {

// A run of UTF-16 units of a string: the index of the first and how many there are. Methods take
// and answer it by value, as two unsigned longs.
struct NSRange {
  unsigned long location;
  unsigned long length;
};

// A version of the operating system, as NSProcessInfo compares it: major, then minor, then patch.
struct NSOperatingSystemVersion {
  long majorVersion;
  long minorVersion;
  long patchVersion;
};

}  // extern "C"
