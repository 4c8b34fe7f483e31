#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Settings files shaped to make the reader work hardest per byte, each made at a chosen size: the
// shapes that were once hundreds of times a bare read of the same file, and the others that a
// hostile file can repeat all through itself. Each is a sound property list holding "Text", so
// that the reader checks all of it and finds what it is asked.
namespace bench {

struct HostileSettings {
  const char* name;
  const char* key;  // Where the load is: "Text" that a colour lookup asks for, or "enabled".
  std::string bytes;
};

// Every shape, each as large as it can be within `size` bytes.
std::vector<HostileSettings> HostileSettingsOfSize(std::size_t size);

}  // namespace bench
