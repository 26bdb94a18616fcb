// What the program file carries: Explorer's icon, the assets byte for byte, the version block
// and a manifest that keeps the window's fixed look. Read from densilo.exe itself, loaded as
// data, since Wine cannot hand another process's icon across.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "capture.h"
#include "resource_ids.h"

namespace densilo::test {
namespace {

std::vector<std::uint8_t> read_file(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::wstring asset(const char* name) {
  return host_path(std::string(DENSILO_ASSETS_DIR) + "/" + name);
}

class ProgramFile : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryExW(host_path(DENSILO_EXE).c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  }
  static void TearDownTestSuite() {
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
  }
  void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load " << DENSILO_EXE; }

  static std::span<const std::uint8_t> resource(const wchar_t* type, const wchar_t* name) {
    HRSRC found = FindResourceW(module_, name, type);
    if (found == nullptr) {
      return {};
    }
    const void* data = LockResource(LoadResource(module_, found));
    return {static_cast<const std::uint8_t*>(data), SizeofResource(module_, found)};
  }

  static inline HMODULE module_ = nullptr;
};

BOOL CALLBACK remember_first(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  *reinterpret_cast<LPWSTR*>(found) = name;
  return FALSE;  // the first one is all we need
}

TEST_F(ProgramFile, FirstIconGroupIsTheProgramIcon) {
  LPWSTR first = nullptr;
  EnumResourceNamesW(module_, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, remember_first,
                     reinterpret_cast<LONG_PTR>(&first));
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(IS_INTRESOURCE(first)) << "a named icon group would be listed before any id";
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(first), static_cast<ULONG_PTR>(IDI_DENSILO));
}

// An icon file is a directory followed by the images; the resource holds the one image as is.
TEST_F(ProgramFile, IconImageIsTheIconFilesImage) {
  const std::vector<std::uint8_t> file = read_file(asset("densilo.ico"));
  ASSERT_GE(file.size(), 22u);
  ASSERT_EQ(file[4] | (file[5] << 8), 1) << "the icon file should hold one image";
  std::uint32_t size = 0;
  std::uint32_t offset = 0;
  std::memcpy(&size, &file[6 + 8], 4);
  std::memcpy(&offset, &file[6 + 12], 4);
  ASSERT_LE(std::size_t{offset} + size, file.size());

  const auto group = resource(MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(IDI_DENSILO));
  ASSERT_GE(group.size(), 6u + 14u);
  EXPECT_EQ(group[6], 64) << "width";
  EXPECT_EQ(group[7], 64) << "height";
  const int image_id = group[6 + 12] | (group[6 + 13] << 8);

  const auto image = resource(MAKEINTRESOURCEW(3) /* RT_ICON */, MAKEINTRESOURCEW(image_id));
  const std::span<const std::uint8_t> expected(file.data() + offset, size);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), expected.begin(), expected.end()));
}

struct Embedded {
  int id;
  const char* file;
};

TEST_F(ProgramFile, RawAssetsAreEmbeddedByteForByte) {
  for (const Embedded& e :
       {Embedded{IDR_BACKGROUND_JPEG, "background.jpg"}, Embedded{IDR_TUNE_MIDI, "tune.mid"},
        Embedded{IDR_CLICK_WAV, "click.wav"}}) {
    const std::vector<std::uint8_t> file = read_file(asset(e.file));
    ASSERT_FALSE(file.empty()) << e.file;
    const auto data = resource(MAKEINTRESOURCEW(10) /* RT_RCDATA */, MAKEINTRESOURCEW(e.id));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), file.begin(), file.end())) << e.file;
  }
}

std::wstring version_string(const std::vector<std::uint8_t>& block, const wchar_t* key) {
  struct Translation {
    WORD language;
    WORD code_page;
  };
  Translation* translation = nullptr;
  UINT length = 0;
  void* data = const_cast<std::uint8_t*>(block.data());
  if (!VerQueryValueW(data, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &length) ||
      length < sizeof(Translation)) {
    return L"<no translation>";
  }
  wchar_t path[64];
  swprintf(path, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
           translation->code_page, key);
  wchar_t* value = nullptr;
  if (!VerQueryValueW(data, path, reinterpret_cast<void**>(&value), &length)) {
    return L"<missing>";
  }
  return value;
}

TEST_F(ProgramFile, VersionBlockNamesDensilo) {
  const std::wstring exe = host_path(DENSILO_EXE);
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<std::uint8_t> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(DENSILO_VERSION_MINOR, DENSILO_VERSION_MAJOR));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(DENSILO_VERSION_TWEAK, DENSILO_VERSION_PATCH));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

  const std::wstring version =
      std::to_wstring(DENSILO_VERSION_MAJOR) + L"." + std::to_wstring(DENSILO_VERSION_MINOR) +
      L"." + std::to_wstring(DENSILO_VERSION_PATCH) + L"." + std::to_wstring(DENSILO_VERSION_TWEAK);
  EXPECT_EQ(version_string(block, L"FileVersion"), version);
  EXPECT_EQ(version_string(block, L"ProductVersion"), version);
  EXPECT_EQ(version_string(block, L"FileDescription"), L"Densilo");
  EXPECT_EQ(version_string(block, L"ProductName"), L"Densilo");
  EXPECT_EQ(version_string(block, L"OriginalFilename"), L"densilo.exe");
}

TEST_F(ProgramFile, ManifestKeepsTheClassicFixedPixelLook) {
  const auto bytes = resource(MAKEINTRESOURCEW(24) /* RT_MANIFEST */, MAKEINTRESOURCEW(1));
  ASSERT_FALSE(bytes.empty());
  const std::string_view manifest(reinterpret_cast<const char*>(bytes.data()), bytes.size());

  struct Rule {
    std::string_view text;
    bool present;
  };
  for (const Rule& rule : {
           Rule{"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", true},  // Windows 7
           Rule{"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", true},  // Windows 8
           Rule{"{1f676c76-80e1-4239-95bb-83d0f6d0da78}", true},  // Windows 8.1
           Rule{"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", true},  // Windows 10 and 11
           Rule{">false</dpiAware>", true},
           Rule{">true</gdiScaling>", true},
           Rule{"asInvoker", true},
           // Visual styles would redraw the edit boxes and buttons in the theme's look.
           Rule{"Common-Controls", false},
           Rule{"dpiAwareness", false},
       }) {
    EXPECT_EQ(manifest.find(rule.text) != std::string_view::npos, rule.present) << rule.text;
  }
}

}  // namespace
}  // namespace densilo::test
