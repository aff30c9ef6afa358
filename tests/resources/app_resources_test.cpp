// The program's resource script as Windows sees it once linked in: the DEFAULT_ICON group holding
// the window icon's one image, the version information, and a manifest that takes effect.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "resources/app_version.h"
#include "resources/embedded_pictures.h"

namespace {

// The layout of an RT_GROUP_ICON resource: a directory whose entries name RT_ICON resources.
#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
struct GroupIconDirectory {
  WORD reserved, type, count;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14 && sizeof(GroupIconDirectory) == 6);

constexpr size_t kIconFileHeader = 6 + 16;  // ICONDIR and its one entry
constexpr DWORD kIconImageBytes = 40 + 128 * 128 * 4 + 128 * 128 / 8;

std::span<const unsigned char> Resource(LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(nullptr, name, type);
  if (!found) return {};
  const void* data = LockResource(LoadResource(nullptr, found));
  return {static_cast<const unsigned char*>(data), SizeofResource(nullptr, found)};
}

TEST(AppResources, DefaultIconGroupHoldsTheWindowIconImage) {
  const auto group = Resource("DEFAULT_ICON", RT_GROUP_ICON);
  ASSERT_EQ(group.size(), sizeof(GroupIconDirectory) + sizeof(GroupIconEntry));
  GroupIconDirectory directory;
  GroupIconEntry entry;
  std::memcpy(&directory, group.data(), sizeof directory);
  std::memcpy(&entry, group.data() + sizeof directory, sizeof entry);
  EXPECT_EQ(directory.type, 1);
  EXPECT_EQ(directory.count, 1);
  EXPECT_EQ(entry.width, 128);
  EXPECT_EQ(entry.height, 128);
  EXPECT_EQ(entry.bitCount, 32);
  EXPECT_EQ(entry.bytesInRes, kIconImageBytes);

  const auto image = Resource(MAKEINTRESOURCEA(entry.id), RT_ICON);
  ASSERT_EQ(image.size(), kIconImageBytes);
  ASSERT_EQ(ByteBlockLengthOf(WindowIcon), static_cast<int32_t>(kIconFileHeader + kIconImageBytes));
  EXPECT_EQ(std::memcmp(image.data(), ByteBlockData(WindowIcon) + kIconFileHeader, image.size()), 0)
      << "the resource and the embedded window icon are different images";
}

TEST(AppResources, DefaultIconLoadsAtFullSize) {
  HINSTANCE self = GetModuleHandleA(nullptr);
  HICON standard = LoadIconA(self, "DEFAULT_ICON");
  EXPECT_NE(standard, nullptr);

  auto icon = static_cast<HICON>(LoadImageA(self, "DEFAULT_ICON", IMAGE_ICON, 128, 128, 0));
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP colour{};
  ASSERT_NE(info.hbmColor, nullptr);
  ASSERT_NE(GetObjectA(info.hbmColor, sizeof colour, &colour), 0);
  EXPECT_EQ(colour.bmWidth, 128);
  EXPECT_EQ(colour.bmHeight, 128);
  EXPECT_EQ(colour.bmBitsPixel, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

std::string VersionText(const std::vector<char>& info, const char* key) {
  char* text = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\080404b0\\") + key;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return "(none)";
  return std::string(text, strnlen(text, length));
}

TEST(AppResources, VersionInformationNamesTheProductAtTheProjectVersion) {
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  constexpr DWORD kVersionMS = (APP_VERSION_MAJOR << 16) | APP_VERSION_MINOR;
  constexpr DWORD kVersionLS = APP_VERSION_PATCH << 16;
  EXPECT_EQ(fixed->dwProductVersionMS, kVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, kVersionLS);
  EXPECT_EQ(fixed->dwFileVersionMS, kVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, kVersionLS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  EXPECT_EQ(VersionText(info, "ProductName"), "Racing Server Switch");
  EXPECT_EQ(VersionText(info, "ProductVersion"), APP_VERSION_TEXT);
  EXPECT_EQ(VersionText(info, "FileVersion"), APP_VERSION_TEXT);

  WORD* translation = nullptr;
  ASSERT_TRUE(
      VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0804);  // Simplified Chinese
  EXPECT_EQ(translation[1], 1200);    // Unicode strings
}

TEST(AppResources, ManifestIsTheProcessManifest) {
  const auto bytes = Resource(MAKEINTRESOURCEA(1), RT_MANIFEST);
  const std::string manifest(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  // No common controls 6: loaded by the first button, they cost the first frame a seventh of its
  // time, and the skin draws the buttons itself.
  EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos) << manifest;
  // Per monitor: version 2, else 1, else system-wide before Windows 8.1. (Wine here reports
  // per-monitor awareness for every program, so this is read from the manifest.)
  EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"),
            std::string::npos);
  EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

}  // namespace
