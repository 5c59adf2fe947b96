// The program's resources read back from the built program file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window_driver.h"

namespace {

struct ModuleCloser {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleCloser>;

ModuleHandle LoadAsData(const std::wstring& path) {
  return ModuleHandle(
      LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::string ResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return {};
  const void* data = LockResource(LoadResource(module, found));
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

std::wstring VersionString(const std::vector<BYTE>& block, const std::wstring& name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = L"\\StringFileInfo\\080404B0\\" + name;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value) return L"<missing>";
  return static_cast<const wchar_t*>(value);
}

TEST(ProgramResources, VersionInformationIsChineseUnicodeVersionOne) {
  const std::wstring exe = WindowsPathOf(TAVRIN_EXE);
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));

  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(static_cast<const WORD*>(value)[0], 0x0804);
  EXPECT_EQ(static_cast<const WORD*>(value)[1], 1200);

  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);

  EXPECT_EQ(VersionString(block, L"FileVersion"), L"1.0.0.0");
  EXPECT_EQ(VersionString(block, L"ProductVersion"), L"1.0.0.0");
  for (const wchar_t* name : {L"FileDescription", L"ProductName", L"Comments"}) {
    EXPECT_EQ(VersionString(block, name), L"Tavrin") << name;
  }
  EXPECT_NE(VersionString(block, L"LegalCopyright"), L"<missing>");
}

TEST(ProgramResources, ManifestAsksForCommonControlsSixForTheBuildsProcessor) {
  const ModuleHandle module = LoadAsData(WindowsPathOf(TAVRIN_EXE));
  ASSERT_TRUE(module);
  const std::string manifest =
      ResourceBytes(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_FALSE(manifest.empty());
  // x86 for the shipped 32-bit program, amd64 for the 64-bit test build.
  const std::string architecture =
      sizeof(void*) == 8 ? "processorArchitecture=\"amd64\"" : "processorArchitecture=\"x86\"";
  const auto dependency = manifest.find("name=\"Microsoft.Windows.Common-Controls\"");
  ASSERT_NE(dependency, std::string::npos) << manifest;
  const auto identityStart = manifest.rfind("<assemblyIdentity", dependency);
  const auto identityEnd = manifest.find("/>", dependency);
  const std::string identity = manifest.substr(identityStart, identityEnd - identityStart);
  EXPECT_NE(identity.find("version=\"6.0.0.0\""), std::string::npos) << identity;
  EXPECT_NE(identity.find(architecture), std::string::npos) << identity;
  EXPECT_NE(identity.find("type=\"win32\""), std::string::npos) << identity;
  EXPECT_NE(identity.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos) << identity;
  // The program's own identity names the same processor.
  const std::string own = manifest.substr(0, manifest.find("<dependency"));
  EXPECT_NE(own.find(architecture), std::string::npos) << own;
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct IconGroup {
  WORD reserved, type, count;
  IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST(ProgramResources, IconIsOne128PixelImageWithAlpha) {
  const ModuleHandle module = LoadAsData(WindowsPathOf(TAVRIN_EXE));
  ASSERT_TRUE(module);
  const std::string group = ResourceBytes(module.get(), L"DEFAULT_ICON", RT_GROUP_ICON);
  ASSERT_GE(group.size(), sizeof(IconGroup));
  const auto* header = reinterpret_cast<const IconGroup*>(group.data());
  ASSERT_EQ(header->count, 1);
  const IconGroupEntry& entry = header->entries[0];
  EXPECT_EQ(entry.width, 128);
  EXPECT_EQ(entry.height, 128);
  EXPECT_EQ(entry.bitCount, 32);

  const std::string image = ResourceBytes(module.get(), MAKEINTRESOURCEW(entry.id), RT_ICON);
  ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER) + 128 * 128 * 4);
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
  EXPECT_EQ(info->biWidth, 128);
  EXPECT_EQ(info->biHeight, 256) << "colour and mask";
  EXPECT_EQ(info->biBitCount, 32);
  int transparent = 0, opaque = 0, partial = 0;
  for (int i = 0; i < 128 * 128; ++i) {
    const auto alpha = static_cast<unsigned char>(image[sizeof(BITMAPINFOHEADER) + 4 * i + 3]);
    (alpha == 0 ? transparent : alpha == 255 ? opaque : partial)++;
  }
  EXPECT_GT(transparent, 0);
  EXPECT_GT(opaque, 1000);
  EXPECT_GT(partial, 0) << "smoothed edges";
}

TEST(ProgramResources, IconLoadsAtEverySizeTheWindowUses) {
  const ModuleHandle module = LoadAsData(WindowsPathOf(TAVRIN_EXE));
  ASSERT_TRUE(module);
  for (int size : {0, 32, 16}) {
    const auto icon = static_cast<HICON>(
        LoadImageW(module.get(), L"DEFAULT_ICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    EXPECT_NE(icon, nullptr) << "size " << size << ", error " << GetLastError();
    if (icon) DestroyIcon(icon);
  }
}

}  // namespace
