#pragma once

#include <span>
#include <string_view>

// Files that the studio carries in its binary, so that it serves the same page and presets
// wherever it runs. Written at build time by EmbedFiles.cmake.
namespace studio {

struct EmbeddedFile {
  std::string_view name;   // The file's name, without its folder: "index.html".
  std::string_view bytes;  // Its contents, as they were at build time.
};

// The page: tools/studio/page/, one entry per file, in the order the build lists them.
std::span<const EmbeddedFile> PageFiles();

// The named themes: themes/*.plist at the top of the repository, in byte order of their names.
std::span<const EmbeddedFile> ThemeFiles();

}  // namespace studio
