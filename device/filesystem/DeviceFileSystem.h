#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The simulated device's file system. The library opens its settings at the device's own path,
// "/var/mobile/...", as it would on the device; this layer stands between every open(2) of the
// process and the C library, and sends a path under "/var/mobile/" to the same path under the
// directory that the environment variable SIMULATED_DEVICE_ROOT names, so that no test touches the
// machine's real /var. Every other path, and every path while the variable is unset or empty, is
// opened as it is.
//
// It also keeps count of what was opened under "/var/mobile/", so that tests can see how often the
// library reads its settings and how it opens them. Counting takes no allocation and no lock on
// the way of an open, so benchmarks measure the library, not this layer.
namespace device {

// The directory that stands for the device's "/", as the next open would map it; empty when
// nothing is mapped.
std::string DeviceRootDirectory();

// How many opens of the device path `devicePath` (as the opener wrote it, such as
// "/var/mobile/Library/Preferences/x.plist") were made since the last ResetOpenRecord, whether or
// not they found a file.
std::uint64_t OpensOf(const std::string& devicePath);

// How many of those opens asked for more than reading: write access, creation or truncation.
std::uint64_t OpensForWritingOf(const std::string& devicePath);

// Forgets the counts. The table holds up to 32 device paths; opens of further paths are counted
// nowhere.
void ResetOpenRecord();

// Something to be told of each open of a device path, just before the open is made, with the
// path as the opener wrote it and the open's flags: the trace, which records reads in order among
// the calls of the stand-ins, or a test that puts another file in place between two reads. Up to
// four observers at a time, called in the order they were added; an observer runs on the thread
// that opens, and must not open device paths itself.
using OpenObserver = void (*)(const char* devicePath, int flags, void* context);
// Adds `observer`, or changes the context of one already added.
void AddOpenObserver(OpenObserver observer, void* context);
void RemoveOpenObserver(OpenObserver observer);

// Records the path of every open in the process, device path or not, from now until
// StopRecordingOpens, which answers them in order. Recording allocates; it is for tests that
// check which files some code opens.
void StartRecordingOpens();
std::vector<std::string> StopRecordingOpens();

}  // namespace device
