#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/bound_function.h"
#include "web/platform.h"

namespace {

struct Failure {
  std::string library;
  std::string function;
};
std::vector<Failure> g_failures;

void RecordFailure(const char* library, const char* function) {
  g_failures.push_back({library, function});
}

// Installs the recording handler for one test and puts the real one back.
class BindingFailures : public testing::Test {
 protected:
  void SetUp() override {
    g_failures.clear();
    previous_ = SetBindingFailureHandler(&RecordFailure);
  }
  void TearDown() override { SetBindingFailureHandler(previous_); }

 private:
  BindingFailureHandler previous_ = nullptr;
};

using GetTickCountPointer = DWORD(WINAPI*)();

TEST_F(BindingFailures, MissingLibraryIsReportedByNameAndFunction) {
  const BoundFunction<GetTickCountPointer> missing{"NoSuchLibrary-tavrin.dll", "GetTickCount"};
  EXPECT_EQ(missing.Resolve(), nullptr);
  ASSERT_EQ(g_failures.size(), 1u);
  EXPECT_EQ(g_failures[0].library, "NoSuchLibrary-tavrin.dll");
  EXPECT_EQ(g_failures[0].function, "GetTickCount");
}

TEST_F(BindingFailures, MissingFunctionIsReportedAndNotRemembered) {
  const BoundFunction<GetTickCountPointer> missing{"kernel32.dll", "NoSuchFunctionTavrin"};
  EXPECT_EQ(missing.Resolve(), nullptr);
  EXPECT_EQ(missing.Resolve(), nullptr);
  ASSERT_EQ(g_failures.size(), 2u);
  EXPECT_EQ(g_failures[1].library, "kernel32.dll");
  EXPECT_EQ(g_failures[1].function, "NoSuchFunctionTavrin");
}

TEST_F(BindingFailures, BoundFunctionIsCalledAndRemembered) {
  const BoundFunction<GetTickCountPointer> tick{"kernel32.dll", "GetTickCount"};
  const GetTickCountPointer first = tick.Resolve();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(tick.Resolve(), first);
  EXPECT_EQ(first, reinterpret_cast<GetTickCountPointer>(reinterpret_cast<void*>(
                       GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount"))));
  EXPECT_GT(tick(), 0u);
  EXPECT_TRUE(g_failures.empty());
}

TEST_F(BindingFailures, EveryPlatformFunctionOfTheSubsystemBinds) {
  EXPECT_NE(platform::WinHttpCheckPlatform.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpCrackUrl.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpOpen.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpConnect.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpOpenRequest.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpSetTimeouts.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpSetCredentials.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpCloseHandle.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpSetOption.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpAddRequestHeaders.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpSendRequest.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpReceiveResponse.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpQueryDataAvailable.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpReadData.Resolve(), nullptr);
  EXPECT_NE(platform::WinHttpQueryHeaders.Resolve(), nullptr);
  EXPECT_NE(platform::CoInitialize.Resolve(), nullptr);
  EXPECT_NE(platform::CoUninitialize.Resolve(), nullptr);
  EXPECT_NE(platform::MultiByteToWideChar.Resolve(), nullptr);
  EXPECT_NE(platform::WideCharToMultiByte.Resolve(), nullptr);
  EXPECT_TRUE(g_failures.empty());
}

TEST(BindingFailureReport, NamesLibraryAndFunction) {
  const std::wstring report = BindingFailureReport("Winhttp.dll", "WinHttpOpen");
  EXPECT_NE(report.find(L"Winhttp.dll"), std::wstring::npos);
  EXPECT_NE(report.find(L"WinHttpOpen"), std::wstring::npos);
}

}  // namespace
