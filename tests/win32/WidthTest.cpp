// The Windows tests run as the width they were built for: a 32-bit build in the 32-bit half of a
// 64-bit system (Wine's WoW64 in a win64 prefix), a 64-bit build natively.
#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(Width, TheTestsRunAsTheWidthTheyWereBuiltFor) {
  EXPECT_EQ(sizeof(void*) * 8, static_cast<size_t>(FOCURA_EXPECTED_POINTER_BITS));
  BOOL wow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
  EXPECT_EQ(wow64 != FALSE, sizeof(void*) == 4);
}

}  // namespace
