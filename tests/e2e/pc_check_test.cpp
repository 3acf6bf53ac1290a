// The PC check as a lab runs it, unattended, with a Z server of the lab's own registered under
// the Z server's ProgID (a fake one here, whose program does not exist): the check reports what
// that registration is, starts nothing of it, and leaves every key and value of it as it was.
// Run by scripts/test against the unpacked package (FOCURA_E2E_CHECK names its focura-check.exe),
// not by the everyday suite.

#include "Config.h"
#include "Desktop.h"
#include "ZServerRegistration.h"

#include <gtest/gtest.h>

#include <string>

namespace focura::e2e {
namespace {

constexpr const wchar_t* kFakeClsid = L"{6E0F2C51-8C7B-4B1D-9E43-2D7A51C0F3A9}";
constexpr const char* kFakeServer = "C:\\Lab\\Z server\\zserver.exe";

std::string CheckExe() {
  wchar_t buf[1024];
  const DWORD n = GetEnvironmentVariableW(L"FOCURA_E2E_CHECK", buf, 1024);
  if (n > 0 && n < 1024)
    return WinePath(Narrow(std::wstring(buf, n)));
  const std::string& tool = TheConfig().toolExe;
  return tool.substr(0, tool.find_last_of("\\/") + 1) + "focura-check.exe";
}

// Every key, value type and value below `path`, as text.
void Dump(HKEY root, const std::wstring& path, std::string& out) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    out += Narrow(path) + " (none)\n";
    return;
  }
  out += Narrow(path) + "\n";
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    BYTE data[2048];
    DWORD nameLength = 256, size = sizeof data, type = 0;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
      break;
    const std::string value =
        type == REG_SZ || type == REG_EXPAND_SZ
            ? Narrow(std::wstring(reinterpret_cast<wchar_t*>(data), size / sizeof(wchar_t)))
            : std::string(reinterpret_cast<char*>(data), size);
    out += "  " + Narrow(name) + " type " + std::to_string(type) + " = " + value + "\n";
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256;
    if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    Dump(root, path + L"\\" + name, out);
  }
  RegCloseKey(key);
}

std::string Snapshot() {
  std::string out;
  const std::wstring progId = Wide(kZServerProgId);
  const std::wstring cls = std::wstring(L"CLSID\\") + kFakeClsid;
  Dump(HKEY_CURRENT_USER, L"Software\\Classes\\" + progId, out);
  Dump(HKEY_CURRENT_USER, L"Software\\Classes\\" + cls, out);
  Dump(HKEY_CLASSES_ROOT, progId, out);
  Dump(HKEY_CLASSES_ROOT, cls, out);
  return out;
}

void SetDefault(HKEY root, const std::wstring& path, const std::wstring& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

// The lab's Z server, registered as a machine's installer would leave it: also below
// HKEY_CLASSES_ROOT itself, which is all Wine's COM reads.
class FakeRealZServer {
 public:
  FakeRealZServer() {
    for (const auto& [root, prefix] : {std::pair{HKEY_CURRENT_USER, L"Software\\Classes\\"},
                                       std::pair{HKEY_CLASSES_ROOT, L""}}) {
      const std::wstring p = prefix;
      SetDefault(root, p + Wide(kZServerProgId), L"Z server");
      SetDefault(root, p + Wide(kZServerProgId) + L"\\CLSID", kFakeClsid);
      SetDefault(root, p + L"CLSID\\" + kFakeClsid, L"Z server");
      SetDefault(root, p + L"CLSID\\" + kFakeClsid + L"\\LocalServer32",
                 L"\"" + Wide(kFakeServer) + L"\" /automation");
    }
  }
  ~FakeRealZServer() {
    for (const auto& [root, prefix] : {std::pair{HKEY_CURRENT_USER, L"Software\\Classes\\"},
                                       std::pair{HKEY_CLASSES_ROOT, L""}}) {
      RegDeleteTreeW(root, (std::wstring(prefix) + Wide(kZServerProgId)).c_str());
      RegDeleteTreeW(root, (std::wstring(prefix) + L"CLSID\\" + kFakeClsid).c_str());
    }
  }
};

TEST(PackageCheck, RunsUnattendedReportsEveryCheckAndLeavesTheZServersRegistrationAlone) {
  ASSERT_EQ(RegisteredServerCommand(), "") << "another Z server is registered in this prefix";
  const std::string exe = CheckExe();
  const std::string folder = exe.substr(0, exe.find_last_of("\\/"));
  const std::string report = folder + "\\focura-check-report";
  DeleteFileW(Wide(report + ".txt").c_str());
  DeleteFileW(Wide(report + ".html").c_str());

  FakeRealZServer real;
  const std::string before = Snapshot();
  ASSERT_NE(before.find("zserver.exe"), std::string::npos) << before;
  const unsigned long code = RunToEnd("\"" + exe + "\" /auto", folder, 240000);
  const std::string after = Snapshot();
  const std::string text = ReadFileText(report + ".txt");
  std::printf("%s\n", text.c_str());

  EXPECT_EQ(after, before);
  EXPECT_EQ(code, 0u) << text;
  EXPECT_EQ(text.find("[FAIL]"), std::string::npos);
  // The lab's server is described, never started: it is not even there to start.
  EXPECT_NE(text.find("[skipped] The real Z server: kind and creation\r\n"
                      "    measured: local server (EXE), unknown (file not found), " +
                      std::string(kFakeServer) +
                      "; use focura.exe on this PC: the Z server is a local server (EXE), which "
                      "either program reaches; this Windows is 64-bit\r\n"
                      "    reason: unattended run"),
            std::string::npos);
  EXPECT_NE(text.find("[pass] COM by ProgID across processes to the simulator"), std::string::npos);
  for (const char* passed :
       {"1 ms counter: 20 planes, window in front", "1 ms counter: 20 planes, window minimised",
        "Keys to the stand-in while another program holds the front",
        "Starting programs: plain, launcher, single instance, ended",
        "A busy program: 7 s over its key, past \"not responding\"",
        "A modal dialog in the program: no key into it", "The log view in the PC's own editor",
        "The window's captions at this PC's DPI"})
    EXPECT_NE(text.find(std::string("[pass] ") + passed), std::string::npos) << passed;
  // Wine refuses the power request; the run asked for it, display included, and let it go.
  EXPECT_NE(text.find("[skipped] Stay awake: the power request of a run with keys\r\n"
                      "    measured: during the run: nothing held; after it: nothing held\r\n"
                      "    reason: Wine "),
            std::string::npos);
  EXPECT_NE(text.find("[pass] The check's own registration removed"), std::string::npos);
  EXPECT_NE(ReadFileText(report + ".html").find("<table>"), std::string::npos);
  // Nothing of the check's own stays registered.
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Focura.CheckZServer", 0, KEY_READ, &key),
            ERROR_SUCCESS);
}

// The check's rows can fail: beside a copy of the check, "zsim.exe" is a program that never
// registers a class factory (the stand-in under that name: a simulator that never answers), and
// "capture_target.exe" is a program that takes no key (the simulator under that name, which refuses
// the stand-in's arguments). Those rows fail, the run still ends with its report, and exits 1.
TEST(PackageCheck, BrokenSubjectsFailTheirRowsAndTheCheckEndsWithItsReport) {
  const std::string exe = CheckExe();
  const std::string from = exe.substr(0, exe.find_last_of("\\/"));
  const std::string folder = TheConfig().workRoot + "\\broken-check";
  RecreateFolder(folder);
  CopyFileTo(exe, folder + "\\focura-check.exe");
  CopyFileTo(from + "\\capture_target.exe", folder + "\\zsim.exe");
  CopyFileTo(from + "\\zsim.exe", folder + "\\capture_target.exe");
  const unsigned long code = RunToEnd("\"" + folder + "\\focura-check.exe\" /auto", folder, 400000);
  const std::string text = ReadFileText(folder + "\\focura-check-report.txt");
  std::printf("%s\n", text.c_str());
  EXPECT_EQ(code, 1u);
  EXPECT_EQ(text.rfind("Some checks failed", 0), 0u);
  // Wine either times the creation out or answers that the class is not registered.
  EXPECT_NE(text.find("[FAIL] COM by ProgID across processes to the simulator\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("[FAIL] Keys to the stand-in while another program holds the front"),
            std::string::npos);
  EXPECT_NE(text.find("[FAIL] Starting programs"), std::string::npos);
  EXPECT_NE(text.find("[FAIL] Stay awake"), std::string::npos);
  EXPECT_NE(text.find("[FAIL] A busy program"), std::string::npos);
  EXPECT_NE(text.find("[FAIL] A modal dialog in the program"), std::string::npos);
  EndProgramsUnder(folder);
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Focura.CheckZServer", 0, KEY_READ, &key),
            ERROR_SUCCESS);
}

}  // namespace
}  // namespace focura::e2e
