#include "build_debug/debug/process_priority.h"

#include <sys/resource.h>

#include <gtest/gtest.h>

namespace build_debug {
namespace {

// A raise is best effort (refused without the privilege); the restore leaves the process as
// it found it either way, also after a second raise.
TEST(NiceProcessPriority, RestoreLeavesTheNicenessAsItWas) {
  const int before = ::getpriority(PRIO_PROCESS, 0);
  NiceProcessPriority priority;
  priority.Raise();
  EXPECT_LE(::getpriority(PRIO_PROCESS, 0), before);
  priority.Raise();
  priority.Restore();
  EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), before);
  priority.Restore();
  EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), before);
}

}  // namespace
}  // namespace build_debug
