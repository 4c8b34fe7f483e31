#include "hooks/HookTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace umbravista {
namespace {

// Fault pinned: two table entries sharing one slot, so one hook's saved implementation overwrote
// the other's.
TEST(HookTableTest, GivesEveryEntryASlotOfItsOwn) {
  std::set<IMP*> slots;
  for (const HookEntry& entry : kHookTable) {
    EXPECT_TRUE(entry.slot != nullptr && slots.insert(entry.slot).second)
        << entry.className << " " << entry.selector;
  }
}

}  // namespace
}  // namespace umbravista
