// Files beside the executable, text decoding and the regional decimal separator.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "capture/PlatformError.h"
#include "text/NumberText.h"
#include "win32/Owned.h"
#include "win32/RegionalSettings.h"
#include "win32/Utf.h"
#include "win32/Win32Files.h"

namespace focura::win32 {
namespace {

class TempDir {
 public:
  TempDir() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"focura_test_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempDir() {
    for (const auto& f : files_) {
      SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(f.c_str());
    }
    RemoveDirectoryW((path_ + L"\\sub").c_str());
    RemoveDirectoryW(path_.c_str());
  }
  std::string Write(const std::wstring& name, const std::string& bytes, DWORD attributes = 0) {
    const std::wstring full = path_ + L"\\" + name;
    {
      const UniqueFile h(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
      DWORD written = 0;
      WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    if (attributes != 0)
      SetFileAttributesW(full.c_str(), attributes);
    files_.push_back(full);
    return Narrow(full);
  }
  std::string Path() const { return Narrow(path_); }

 private:
  std::wstring path_;
  std::vector<std::wstring> files_;
};

TEST(Utf, RoundTripsTextBeyondAscii) {
  const std::string text = "Z = 12,5 \xC2\xB5m \xE2\x80\x93 M\xC3\xBCller \xF0\x9F\x94\xAC";
  const std::wstring wide = Widen(text);
  EXPECT_EQ(wide.substr(0, 9), L"Z = 12,5 ");
  EXPECT_EQ(wide[9], L'\u00B5');
  EXPECT_EQ(Narrow(wide), text);
  EXPECT_EQ(Narrow(Widen("")), "");
  EXPECT_TRUE(IsValidUtf8(text));
  EXPECT_FALSE(IsValidUtf8("caf\xE9"));
}

TEST(Win32Files, ExeDirectoryIsTheFolderOfTheRunningProgram) {
  Win32Files files;
  const std::string dir = files.ExeDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '\\');
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::string full = Narrow(exe);
  EXPECT_EQ(full.substr(0, dir.size() + 1), dir + "\\");
  EXPECT_EQ(full.find('\\', dir.size() + 1), std::string::npos);
  EXPECT_TRUE(files.VisibleFileExists(full));
}

TEST(Win32Files, HiddenSystemAndDirectoriesCountAsMissing) {
  TempDir dir;
  Win32Files files;
  const std::string plain = dir.Write(L"plain.txt", "x");
  const std::string hidden = dir.Write(L"hidden.txt", "x", FILE_ATTRIBUTE_HIDDEN);
  const std::string system = dir.Write(L"system.txt", "x", FILE_ATTRIBUTE_SYSTEM);
  const std::string readOnly = dir.Write(L"readonly.txt", "x", FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(files.VisibleFileExists(plain));
  EXPECT_TRUE(files.VisibleFileExists(readOnly));
  EXPECT_FALSE(files.VisibleFileExists(hidden));
  EXPECT_FALSE(files.VisibleFileExists(system));
  EXPECT_FALSE(files.VisibleFileExists(dir.Path()));
  EXPECT_FALSE(files.VisibleFileExists(dir.Path() + "\\absent.txt"));
}

TEST(Win32Files, ReadsUtf8AnsiAndUtf16Files) {
  TempDir dir;
  Win32Files files;
  EXPECT_EQ(files.ReadAll(dir.Write(L"utf8.txt", "a,\"C:\\x y\\p.exe\"\r\nb")),
            "a,\"C:\\x y\\p.exe\"\r\nb");
  EXPECT_EQ(files.ReadAll(dir.Write(L"bom.txt", "\xEF\xBB\xBF{F8}")), "{F8}");
  EXPECT_EQ(files.ReadAll(dir.Write(L"empty.txt", "")), "");
  // A byte that is not UTF-8 is read in the ANSI code page (1252 here: 0xB5 is the micro sign).
  const std::string ansi = files.ReadAll(dir.Write(L"ansi.txt", "5 \xB5m"));
  EXPECT_EQ(ansi, "5 " + AnsiToUtf8("\xB5") + "m");
  EXPECT_TRUE(IsValidUtf8(ansi));
  EXPECT_EQ(files.ReadAll(dir.Write(L"utf16.txt", std::string("\xFF\xFE"
                                                              "a\0b\0",
                                                              6))),
            "ab");
}

TEST(Win32Files, ReadingAMissingFileNamesTheFileAndTheReason) {
  Win32Files files;
  try {
    files.ReadAll("C:\\no\\such\\captureprogpath.txt");
    FAIL() << "no exception";
  } catch (const PlatformError& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("C:\\no\\such\\captureprogpath.txt"), std::string::npos) << what;
    EXPECT_GT(what.size(),
              std::string("Cannot read \"C:\\no\\such\\captureprogpath.txt\": ").size())
        << what;
  }
}

TEST(RegionalSettings, DecimalSeparatorFollowsTheLocale) {
  EXPECT_EQ(DecimalSeparatorOf(L"en-US"), ".");
  EXPECT_EQ(DecimalSeparatorOf(L"de-DE"), ",");
  const std::string user = RegionalDecimalSeparator();
  ASSERT_FALSE(user.empty());
  const NumberText num(user);
  EXPECT_EQ(num.Format1(2.0), "2" + user + "0");
  EXPECT_DOUBLE_EQ(num.ToDouble("1" + user + "5"), 1.5);
}

}  // namespace
}  // namespace focura::win32
