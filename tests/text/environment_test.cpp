#include <windows.h>

#include <gtest/gtest.h>

namespace {

// All program text is code page 936 bytes. If this fails, the tests are
// running in a wrongly set-up Wine (LC_ALL=zh_CN.UTF-8 missing), not against
// a fault in the program.
TEST(TestEnvironment, WineMustRunWithAnsiCodePage936) { EXPECT_EQ(GetACP(), 936u); }

}  // namespace
