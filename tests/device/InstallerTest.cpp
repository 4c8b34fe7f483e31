#include "hooks/Installer.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

#include "device/runtime/Runtime.h"
#include "device/substrate/HookRecord.h"
#include "hooks/HookTable.h"

namespace umbravista {
namespace {

long Original(id, SEL, long argument) {
  return 1000 + argument;
}
long Replacement(id, SEL, long argument) {
  return 8000 + argument;
}

// "InstallerTestTarget +classLevel: installed", "nil -first: skipped".
std::string Describe(const device::HookRecord& record) {
  return (record.className.empty() ? "nil" : record.className) + (record.metaclass ? " +" : " -") +
         record.selector + (record.installed ? " installed" : " skipped");
}

struct Row {
  HookEntry entry;
  std::string expectedRecord;
  IMP expectedSaved;
};

TEST(InstallHooksTest, InstallsEveryRowItCanInTableOrder) {
  static IMP slots[7] = {};
  const IMP original = device::AsImplementation(&Original);
  constexpr auto kReplacement = &ImplementationOf<&Replacement>;
  constexpr MethodKind kInstance = MethodKind::kInstance;
  const Row rows[] = {
      {{"InstallerTestMissing", kInstance, "first:", kReplacement, &slots[0]},
       "nil -first: skipped",
       nullptr},
      {{"InstallerTestTarget", kInstance, "first:", kReplacement, &slots[1]},
       "InstallerTestTarget -first: installed",
       original},
      {{"InstallerTestTarget", kInstance, "second:", kReplacement, &slots[2]},
       "InstallerTestTarget -second: installed",
       original},
      {{"InstallerTestTarget", MethodKind::kClass, "classLevel:", kReplacement, &slots[3]},
       "InstallerTestTarget +classLevel: installed",
       original},
      {{"InstallerTestTarget", kInstance, "absent:", kReplacement, &slots[4]},
       "InstallerTestTarget -absent: skipped",
       nullptr},
      {{"InstallerTestOther", kInstance, "first:", kReplacement, &slots[5]},
       "InstallerTestOther -first: installed",
       original},
      {{"InstallerTestTarget", kInstance, "third:", kReplacement, &slots[6]},
       "InstallerTestTarget -third: installed",
       original},
  };
  std::array<HookEntry, std::size(rows)> table;
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = rows[i].entry;

  const std::size_t recordsBefore = device::HookRecords().size();
  InstallHooks(table);

  ASSERT_EQ(device::HookRecords().size(), recordsBefore + table.size());
  for (std::size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(rows[i].expectedRecord);
    EXPECT_EQ(Describe(device::HookRecords()[recordsBefore + i]), rows[i].expectedRecord);
    EXPECT_EQ(*rows[i].entry.slot, rows[i].expectedSaved);
  }
  // The class-method row went to the metaclass only: the class answers the replacement, its
  // instances keep the original.
  id target = reinterpret_cast<id>(objc_getClass("InstallerTestTarget"));
  EXPECT_EQ(device::Message<long>(target, "classLevel:", 1L), 8001);
  id instance = class_createInstance(objc_getClass("InstallerTestTarget"), 0);
  EXPECT_EQ(device::Message<long>(instance, "classLevel:", 2L), 1002);
  object_dispose(instance);
}

// Fault pinned: two table entries sharing one slot, so one hook's saved implementation overwrote
// the other's.
TEST(HookTableTest, GivesEveryEntryASlotOfItsOwn) {
  std::set<IMP*> slots;
  for (const HookEntry& entry : kHookTable) {
    SCOPED_TRACE(std::string(entry.className) + " " + entry.selector);
    EXPECT_NE(entry.slot, nullptr);
    EXPECT_TRUE(slots.insert(entry.slot).second);
  }
}

void DefineTestClasses() {
  for (const char* name : {"InstallerTestTarget", "InstallerTestOther"}) {
    device::DefineClass(name, nullptr, {}, [](Class cls) {
      for (const char* selector : {"first:", "second:", "third:", "classLevel:"}) {
        device::AddInstanceMethod(cls, selector, &Original, "q@:q");
      }
      device::AddClassMethod(cls, "classLevel:", &Original, "q@:q");
    });
  }
}

}  // namespace
}  // namespace umbravista

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::StartRuntime();
  umbravista::DefineTestClasses();
  return RUN_ALL_TESTS();
}
