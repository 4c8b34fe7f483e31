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

#include "device/host/SimulatedHost.h"

namespace device {
namespace {

// The library as loaded: its file and the functions its DT_INIT_ARRAY holds, as offsets into
// the file's image.
struct LoadedLibrary {
  std::string path;
  std::vector<ElfW(Addr)> initialisers;
};

int FindLibrary(dl_phdr_info* info, size_t, void* data) {
  std::string_view name = info->dlpi_name;
  if (!name.ends_with("/libUmbravista.so") && name != "libUmbravista.so") return 0;
  auto* library = static_cast<LoadedLibrary*>(data);
  library->path = info->dlpi_name;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    if (info->dlpi_phdr[i].p_type != PT_DYNAMIC) continue;
    auto* dynamic =
        reinterpret_cast<const ElfW(Dyn)*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
    ElfW(Addr) array = 0;
    ElfW(Xword) size = 0;
    for (; dynamic->d_tag != DT_NULL; ++dynamic) {
      if (dynamic->d_tag == DT_INIT_ARRAY) array = dynamic->d_un.d_ptr;
      if (dynamic->d_tag == DT_INIT_ARRAYSZ) size = dynamic->d_un.d_val;
    }
    // Some loaders relocate the dynamic section's addresses in place, some do not.
    if (array != 0 && array < info->dlpi_addr) array += info->dlpi_addr;
    const auto* entries = reinterpret_cast<const ElfW(Addr)*>(array);
    for (std::size_t k = 0; k < size / sizeof(ElfW(Addr)); ++k) {
      library->initialisers.push_back(entries[k] - info->dlpi_addr);
    }
  }
  return 1;
}

// The function symbols of the file's .symtab by address, demangled.
std::map<ElfW(Addr), std::string> FunctionSymbols(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string image{std::istreambuf_iterator<char>(file), {}};
  std::map<ElfW(Addr), std::string> names;
  if (image.size() < sizeof(Elf64_Ehdr)) return names;
  const auto* header = reinterpret_cast<const Elf64_Ehdr*>(image.data());
  const auto* sections = reinterpret_cast<const Elf64_Shdr*>(image.data() + header->e_shoff);
  for (int i = 0; i < header->e_shnum; ++i) {
    if (sections[i].sh_type != SHT_SYMTAB) continue;
    const char* strings = image.data() + sections[sections[i].sh_link].sh_offset;
    const auto* symbols = reinterpret_cast<const Elf64_Sym*>(image.data() + sections[i].sh_offset);
    for (std::size_t k = 0; k < sections[i].sh_size / sizeof(Elf64_Sym); ++k) {
      if (ELF64_ST_TYPE(symbols[k].st_info) != STT_FUNC) continue;
      const char* name = strings + symbols[k].st_name;
      int status = 0;
      char* demangled = abi::__cxa_demangle(name, nullptr, nullptr, &status);
      names[symbols[k].st_value] = status == 0 ? demangled : name;
      std::free(demangled);
    }
  }
  return names;
}

// Initialisers that the compiler and linker put in every shared object, not the library's code.
bool IsToolchains(const std::string& name) {
  // crtbegin's frame_dummy, and the sanitizers' per-file constructors (priority 99) when built
  // with them.
  return name == "frame_dummy" || name.starts_with("_sub_I_00099_");
}

TEST(ModuleInitialiserTest, TheInstallerIsTheLibrarysOnlyInitialiser) {
  SimulatedHost host;
  host.Launch();
  LoadedLibrary library;
  dl_iterate_phdr(&FindLibrary, &library);
  ASSERT_FALSE(library.path.empty()) << "libUmbravista.so is not loaded";
  const std::map<ElfW(Addr), std::string> symbols = FunctionSymbols(library.path);
  ASSERT_FALSE(symbols.empty()) << library.path << " has no symbol table";

  std::vector<std::string> own;
  for (ElfW(Addr) offset : library.initialisers) {
    auto symbol = symbols.find(offset);
    std::string name =
        symbol == symbols.end() ? "unnamed " + std::to_string(offset) : symbol->second;
    SCOPED_TRACE(name);
    EXPECT_FALSE(name.starts_with("_GLOBAL__sub_I_")) << "a static initialiser";
    if (!IsToolchains(name)) own.push_back(name);
  }
  EXPECT_EQ(own, std::vector<std::string>{"InstallUmbravista()"});
}

// The names of the data objects that the file keeps in writable, zero-filled or initialised data
// (.data, .bss): the state a process could change while the library runs. Constant tables that
// only need relocating live in .data.rel.ro and are not listed.
std::vector<std::string> WritableDataObjects(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string image{std::istreambuf_iterator<char>(file), {}};
  std::vector<std::string> names;
  if (image.size() < sizeof(Elf64_Ehdr)) return names;
  const auto* header = reinterpret_cast<const Elf64_Ehdr*>(image.data());
  const auto* sections = reinterpret_cast<const Elf64_Shdr*>(image.data() + header->e_shoff);
  const char* sectionNames = image.data() + sections[header->e_shstrndx].sh_offset;
  for (int i = 0; i < header->e_shnum; ++i) {
    if (sections[i].sh_type != SHT_SYMTAB) continue;
    const char* strings = image.data() + sections[sections[i].sh_link].sh_offset;
    const auto* symbols = reinterpret_cast<const Elf64_Sym*>(image.data() + sections[i].sh_offset);
    for (std::size_t k = 0; k < sections[i].sh_size / sizeof(Elf64_Sym); ++k) {
      if (ELF64_ST_TYPE(symbols[k].st_info) != STT_OBJECT) continue;
      if (symbols[k].st_shndx == SHN_UNDEF || symbols[k].st_shndx >= SHN_LORESERVE) continue;
      const std::string_view section = sectionNames + sections[symbols[k].st_shndx].sh_name;
      if (section != ".data" && section != ".bss") continue;
      const char* name = strings + symbols[k].st_name;
      int status = 0;
      char* demangled = abi::__cxa_demangle(name, nullptr, nullptr, &status);
      names.emplace_back(status == 0 ? demangled : name);
      std::free(demangled);
    }
  }
  return names;
}

// Data that crtbegin and the C++ runtime put in every shared object, and the markers that
// AddressSanitizer adds beside each global when built with it.
bool IsToolchainsData(const std::string& name) {
  return name == "completed.0" || name == "__dso_handle" || name == "__TMC_END__" ||
         name.starts_with("DW.ref.") || name.starts_with("__odr_asan.");
}

TEST(ModuleInitialiserTest, TheSavedImplementationSlotsAreTheLibrarysOnlyWritableState) {
  std::vector<std::string> own;
  for (const std::string& name : WritableDataObjects(BuiltLibraryPath())) {
    if (!IsToolchainsData(name)) own.push_back(name);
  }
  EXPECT_EQ(own, std::vector<std::string>{"umbravista::savedImplementations"});
}

}  // namespace
}  // namespace device
