# Writes a C++ source that holds files as string literals, for a binary that must carry them:
#
#   cmake -DOUTPUT=Files.cpp -DFUNCTION=PageFiles -DFILES="a.html|b.css" -P EmbedFiles.cmake
#
# The source defines studio::FUNCTION() of EmbeddedFiles.h, one entry per file in the order
# given, named by the file's name.
string(REPLACE "|" ";" files "${FILES}")
set(literals "")
set(entries "")
set(index 0)
foreach(path IN LISTS files)
  get_filename_component(name "${path}" NAME)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  # Every byte escaped, so no escape can run into the character after it.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
  string(APPEND literals "constexpr char kFile${index}[] = \"${escaped}\";\n")
  string(APPEND entries "    {\"${name}\", {kFile${index}, ${size}}},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${OUTPUT}"
"// Written by tools/studio/EmbedFiles.cmake at build time.
#include <array>

#include \"tools/studio/EmbeddedFiles.h\"

namespace studio {
namespace {

${literals}
constexpr std::array<EmbeddedFile, ${index}> kFiles = {{
${entries}}};

}  // namespace

std::span<const EmbeddedFile> ${FUNCTION}() {
  return kFiles;
}

}  // namespace studio
")
