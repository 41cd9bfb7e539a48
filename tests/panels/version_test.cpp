// j4gear's version resource, read back by Windows itself.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/gauges.h"

namespace {

std::string string_value(const std::vector<char>& info, const char* name) {
  void* value = nullptr;
  UINT len = 0;
  const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
  if (!VerQueryValueA(info.data(), path.c_str(), &value, &len) || !value) return "<missing>";
  return std::string(static_cast<const char*>(value));
}

TEST(VersionResource, J4gearNamesItselfAsAnFs98Gauge) {
  const std::string path = testsupport::gauge_path("j4gear");
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  ASSERT_GT(size, 0u) << "no version resource";
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
  EXPECT_EQ(string_value(info, "FileDescription"), "Flight Simulator 98 Gauge");
  EXPECT_EQ(string_value(info, "ProductName"), "j4gear");
  EXPECT_EQ(string_value(info, "FileVersion"), "1.0.0");
  EXPECT_EQ(string_value(info, "ProductVersion"), "1.0.0");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
}

}  // namespace
#endif
