// The library reads its settings at the one fixed device path and nowhere else, and nothing in
// the host's environment can move it: the library does not even refer to getenv. (The simulated
// device maps that path under its own root below the library, in the C library's open.)
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/filesystem/DeviceFileSystem.h"
#include "device/host/HostClasses.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace {

constexpr const char* kSettingsPath =
    "/var/mobile/Library/Preferences/com.marrowquinte.Umbravista.plist";

std::vector<std::string> pathsOpenedByLoading;

// The names of the symbols that an ELF64 shared object takes from others (undefined in its
// dynamic symbol table).
std::set<std::string> ImportedSymbols(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string image{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  Elf64_Ehdr header;
  std::memcpy(&header, image.data(), sizeof header);
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  std::memcpy(sections.data(), image.data() + header.e_shoff, header.e_shnum * sizeof(Elf64_Shdr));
  std::set<std::string> imported;
  for (const Elf64_Shdr& section : sections) {
    if (section.sh_type != SHT_DYNSYM) continue;
    const Elf64_Shdr& strings = sections[section.sh_link];
    for (std::size_t offset = 0; offset < section.sh_size; offset += sizeof(Elf64_Sym)) {
      Elf64_Sym symbol;
      std::memcpy(&symbol, image.data() + section.sh_offset + offset, sizeof symbol);
      if (symbol.st_shndx == SHN_UNDEF && symbol.st_name != 0) {
        imported.insert(image.data() + strings.sh_offset + symbol.st_name);
      }
    }
  }
  return imported;
}

TEST(FixedPathTest, TheLibraryRefersToNoEnvironmentLookup) {
  const std::set<std::string> imported = ImportedSymbols(device::BuiltLibraryPath());
  ASSERT_TRUE(imported.contains("open")) << "the symbol table was not read";
  for (const char* lookup : {"getenv", "secure_getenv", "__libc_secure_getenv", "environ",
                             "__environ", "getauxval", "realpath", "readlink"}) {
    EXPECT_FALSE(imported.contains(lookup)) << "the library refers to " << lookup;
  }
}

TEST(FixedPathTest, OpensNothingButTheSettingsPathWhileLoadingAndTheming) {
  EXPECT_TRUE(pathsOpenedByLoading.empty()) << "loading opened " << pathsOpenedByLoading.front();
  device::AutoreleasePool pool;
  device::PausedTrace quiet;
  device::StartRecordingOpens();
  // Replacements that read the settings: a gated getter with a settings colour, the background
  // setter and layout, a text layout, and the table controller's viewWillAppear:.
  device::Message<id>(reinterpret_cast<id>(objc_getClass("IGColors")), "textColor");
  id view = device::NewView("UIView");
  id white = device::NewGreyColor(1.0, 1.0);
  device::Message(view, "setBackgroundColor:", white);
  device::Message(view, "layoutSubviews");
  id label = device::NewView("UILabel");
  device::Message(label, "layoutSubviews");
  const std::vector<std::string> opened = device::StopRecordingOpens();
  EXPECT_FALSE(opened.empty());
  for (const std::string& path : opened) EXPECT_EQ(path, kSettingsPath);
  for (id object : {view, white, label}) device::Message(object, "release");
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::SimulatedHost host;
  host.RegisterClasses();
  device::StartRecordingOpens();
  host.LoadLibrary();
  pathsOpenedByLoading = device::StopRecordingOpens();
  return RUN_ALL_TESTS();
}
