// The library as built and loaded: its installer is its one module initialiser, its saved
// implementation slots are its only writable state besides the references of the names it sends
// (each set once, to the one value the runtime has for its name), it refers to nothing that could
// read the environment, and it opens nothing but its settings path, from loading on. The symbol
// tables are read from the file, 32-bit or 64-bit ELF alike.
#include <cxxabi.h>
#include <elf.h>
#include <link.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/filesystem/DeviceFileSystem.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace {

struct Symbol {
  std::string name;     // Demangled where it can be.
  unsigned type;        // STT_FUNC, STT_OBJECT...
  std::string section;  // "" for an undefined symbol.
  std::uint64_t value;
  bool dynamic;  // From .dynsym rather than .symtab.
};

std::string Demangled(const char* name) {
  int status = 0;
  char* demangled = abi::__cxa_demangle(name, nullptr, nullptr, &status);
  std::string answer = status == 0 ? demangled : name;
  std::free(demangled);
  return answer;
}

template <typename Header, typename Section, typename Sym>
std::vector<Symbol> SymbolsOf(const std::string& image) {
  const auto* header = reinterpret_cast<const Header*>(image.data());
  const auto* sections = reinterpret_cast<const Section*>(image.data() + header->e_shoff);
  const char* sectionNames = image.data() + sections[header->e_shstrndx].sh_offset;
  std::vector<Symbol> symbols;
  for (int i = 0; i < header->e_shnum; ++i) {
    if (sections[i].sh_type != SHT_SYMTAB && sections[i].sh_type != SHT_DYNSYM) continue;
    const char* strings = image.data() + sections[sections[i].sh_link].sh_offset;
    const auto* table = reinterpret_cast<const Sym*>(image.data() + sections[i].sh_offset);
    for (std::size_t k = 0; k < sections[i].sh_size / sizeof(Sym); ++k) {
      const Sym& sym = table[k];
      const bool defined = sym.st_shndx != SHN_UNDEF && sym.st_shndx < SHN_LORESERVE;
      symbols.push_back({Demangled(strings + sym.st_name), static_cast<unsigned>(sym.st_info & 0xF),
                         defined ? sectionNames + sections[sym.st_shndx].sh_name : "", sym.st_value,
                         sections[i].sh_type == SHT_DYNSYM});
    }
  }
  return symbols;
}

std::vector<Symbol> SymbolsOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string image{std::istreambuf_iterator<char>(file), {}};
  if (image.size() < EI_NIDENT || std::memcmp(image.data(), ELFMAG, SELFMAG) != 0) return {};
  return image[EI_CLASS] == ELFCLASS64 ? SymbolsOf<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym>(image)
                                       : SymbolsOf<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym>(image);
}

std::vector<std::string> pathsOpenedByLoading;

TEST(LibraryImageTest, RefersToNoEnvironmentLookup) {
  std::vector<std::string> imported;
  for (const Symbol& symbol : SymbolsOf(device::BuiltLibraryPath())) {
    if (symbol.dynamic && symbol.section.empty() && !symbol.name.empty()) {
      imported.push_back(symbol.name);
    }
  }
  ASSERT_NE(std::find(imported.begin(), imported.end(), "open"), imported.end())
      << "the symbol table was not read";
  for (const char* lookup : {"getenv", "secure_getenv", "__libc_secure_getenv", "environ",
                             "__environ", "getauxval", "realpath", "readlink"}) {
    EXPECT_EQ(std::find(imported.begin(), imported.end(), lookup), imported.end()) << lookup;
  }
}

TEST(LibraryImageTest, OpensNothingButTheSettingsPathWhileLoadingAndTheming) {
  EXPECT_EQ(pathsOpenedByLoading, std::vector<std::string>{}) << "loading opened a file";
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
  for (const std::string& path : opened) EXPECT_EQ(path, device::kSettingsDevicePath);
  for (id object : {view, white, label}) device::Message(object, "release");
}

// The functions that the loaded library's DT_INIT_ARRAY holds, as offsets into its file.
int FindInitialisers(dl_phdr_info* info, size_t, void* data) {
  if (!std::string_view(info->dlpi_name).ends_with("libUmbravista.so")) return 0;
  auto* offsets = static_cast<std::vector<ElfW(Addr)>*>(data);
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    if (info->dlpi_phdr[i].p_type != PT_DYNAMIC) continue;
    auto* dynamic =
        reinterpret_cast<const ElfW(Dyn)*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
    ElfW(Addr) array = 0;
    std::size_t size = 0;
    for (; dynamic->d_tag != DT_NULL; ++dynamic) {
      if (dynamic->d_tag == DT_INIT_ARRAY) array = dynamic->d_un.d_ptr;
      if (dynamic->d_tag == DT_INIT_ARRAYSZ) size = dynamic->d_un.d_val;
    }
    // Some loaders relocate the dynamic section's addresses in place, some do not.
    if (array != 0 && array < info->dlpi_addr) array += info->dlpi_addr;
    const auto* entries = reinterpret_cast<const ElfW(Addr)*>(array);
    for (std::size_t k = 0; k < size / sizeof(ElfW(Addr)); ++k) {
      offsets->push_back(entries[k] - info->dlpi_addr);
    }
  }
  return 1;
}

// What the toolchain puts in every shared object: crtbegin's frame_dummy and data, the C++
// runtime's handles, and the sanitizers' constructors and markers when built with them.
bool IsToolchains(const std::string& name) {
  return name == "frame_dummy" || name.starts_with("_sub_I_00099_") || name == "completed.0" ||
         name == "__dso_handle" || name == "__TMC_END__" || name.starts_with("DW.ref.") ||
         name.starts_with("__odr_asan.");
}

// A selector's or a class's reference, set at the first use of its name (platform/ObjectiveC.h).
bool IsNameReference(const std::string& name) {
  return (name.starts_with("umbravista::platform::SelectorReference<") ||
          name.starts_with("umbravista::platform::ClassReference<")) &&
         name.ends_with(">()::reference");
}

TEST(LibraryImageTest, TheInstallerIsTheOnlyInitialiserAndTheSlotsTheOnlyWritableState) {
  std::vector<ElfW(Addr)> initialisers;
  dl_iterate_phdr(&FindInitialisers, &initialisers);
  std::map<ElfW(Addr), std::string> functions;
  std::vector<std::string> writable;
  for (const Symbol& symbol : SymbolsOf(device::BuiltLibraryPath())) {
    if (symbol.dynamic || symbol.section.empty()) continue;
    // ARM's Thumb functions have the low bit of their address set.
    if (symbol.type == STT_FUNC) functions[symbol.value & ~std::uint64_t{1}] = symbol.name;
    if (symbol.type == STT_OBJECT && !IsToolchains(symbol.name) && !IsNameReference(symbol.name) &&
        (symbol.section == ".data" || symbol.section == ".bss")) {
      writable.push_back(symbol.name);
    }
  }
  ASSERT_FALSE(functions.empty()) << "the library has no symbol table";
  std::vector<std::string> own;
  for (ElfW(Addr) offset : initialisers) {
    const auto found = functions.find(offset & ~ElfW(Addr){1});
    const std::string name = found == functions.end() ? "unnamed" : found->second;
    if (!IsToolchains(name)) own.push_back(name);
  }
  EXPECT_EQ(own, std::vector<std::string>{"InstallUmbravista()"});
  EXPECT_EQ(writable, std::vector<std::string>{"umbravista::savedImplementations"});
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
