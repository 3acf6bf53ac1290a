// The in-process simulator (zsim32.dll / zsim64.dll): its own registration, and the tool's COM
// client loading it into the calling process under the Z server's ProgID.
#include <gtest/gtest.h>

#include <windows.h>
// tlhelp32.h needs the types of windows.h.
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "win32/ComApartment.h"
#include "win32/ComZServer.h"
#include "win32/Owned.h"

namespace zsim::test {
namespace {

using focura::win32::ComZServer;

constexpr const wchar_t* kProgIdClass = L"Software\\Classes\\Hoistra.HoistraCmd\\CLSID";
constexpr const wchar_t* kOurClass = L"{1BF51BFE-5151-4C5F-BB21-3AF8F0298408}";
constexpr const wchar_t* kOtherClass = L"{00000000-1111-2222-3333-444444444444}";

std::wstring Read(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS)
    return {};
  return value;
}

void NameOtherClass() {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kProgIdClass, nullptr, REG_SZ, kOtherClass,
                            static_cast<DWORD>((wcslen(kOtherClass) + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

int ThreadsOfThisProcess() {
  focura::win32::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more;
       more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId())
      ++count;
  }
  return count;
}

class ZSimDll : public ::testing::Test {
 protected:
  using Install = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
  using Entry = HRESULT(STDAPICALLTYPE*)();

  void SetUp() override {
    for (const char* p = ZSIM_DLL; *p != '\0'; ++p)
      path_ += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
    module_ = LoadLibraryW(path_.c_str());
    ASSERT_NE(module_, nullptr) << "cannot load the DLL simulator";
    install_ =
        reinterpret_cast<Install>(reinterpret_cast<void*>(GetProcAddress(module_, "DllInstall")));
    register_ = reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllRegisterServer")));
    unregister_ = reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllUnregisterServer")));
    ASSERT_TRUE(install_ && register_ && unregister_) << "an entry point is not exported";
    GetModuleFileNameW(module_, loaded_, MAX_PATH);
    log_ = TempFile(L"zsim-dll-record");
    DeleteFileW(log_.c_str());
  }
  void TearDown() override {
    if (unregister_ != nullptr)
      unregister_();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\Hoistra.HoistraCmd");
    DeleteFileW(log_.c_str());
  }

  std::wstring ClassKey() const { return std::wstring(L"Software\\Classes\\CLSID\\") + kOurClass; }

  std::wstring path_;
  wchar_t loaded_[MAX_PATH] = {};
  HMODULE module_ = nullptr;
  Install install_ = nullptr;
  Entry register_ = nullptr;
  Entry unregister_ = nullptr;
  std::wstring log_;
};

TEST_F(ZSimDll, RegistersInPlaceOfTheLocalServerAndIsLoadedIntoTheClientsOwnProcess) {
  ASSERT_EQ(RunZsim(L"/RegServer"), 0u);
  ASSERT_FALSE(Read(ClassKey() + L"\\LocalServer32").empty());
  ASSERT_EQ(install_(TRUE, (L"/Log \"" + log_ + L"\"").c_str()), S_OK);
  EXPECT_EQ(Read(kProgIdClass), kOurClass);
  EXPECT_EQ(_wcsicmp(Read(ClassKey() + L"\\InprocServer32").c_str(), loaded_), 0)
      << "the class leads to " << Read(ClassKey() + L"\\InprocServer32").size() << " characters";
  EXPECT_EQ(Read(ClassKey() + L"\\InprocServer32", L"ThreadingModel"), L"Both");
  // A class with both entries would still lead to zsim.exe for some clients.
  EXPECT_EQ(Read(ClassKey() + L"\\LocalServer32"), L"");

  focura::win32::ComApartment com;
  {
    ComZServer z;
    EXPECT_EQ(z.Exec("Sim Reset"), "OK");
    EXPECT_EQ(z.Exec("Z 100 ; Z Wait ;"), "OK ; OK");
  }
  EXPECT_EQ(ZsimProcesses(), 0) << "a local server answered instead";
  std::vector<std::string> commands;
  for (const auto& line : ReadRecord(log_))
    commands.push_back(line[4]);
  EXPECT_EQ(commands, (std::vector<std::string>{"Sim Reset", "Z 100 ; Z Wait ;"}));

  ASSERT_EQ(unregister_(), S_OK);
  EXPECT_EQ(Read(kProgIdClass), L"");
  EXPECT_EQ(Read(ClassKey() + L"\\InprocServer32"), L"");
}

// COM may unload the DLL whenever nothing holds it: the simulator's window thread must be gone
// by then, and the next load must start the simulator afresh.
TEST_F(ZSimDll, IsLoadedUsedAndUnloadedAgainAndAgainWithoutAThreadOutlivingIt) {
  ASSERT_EQ(install_(TRUE, (L"/Log \"" + log_ + L"\"").c_str()), S_OK);
  FreeLibrary(module_);  // COM's own loads are the only ones now
  module_ = nullptr;
  unregister_ = nullptr;
  int threads = 0;  // after the first round: COM keeps threads of its own
  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE(round);
    focura::win32::ComApartment com;
    {
      ComZServer z;
      EXPECT_EQ(z.Exec("Show"), "OK");
      EXPECT_NE(FindWindowW(L"FocuraZServerSimulator", nullptr), nullptr);
      EXPECT_EQ(z.Exec("Z 10 ; Z Wait ; Hide"), "OK ; OK ; OK");
    }
    EXPECT_EQ(FindWindowW(L"FocuraZServerSimulator", nullptr), nullptr);
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_EQ(GetModuleHandleW(path_.c_str()), nullptr) << "COM kept the DLL";
    if (round == 1)
      threads = ThreadsOfThisProcess();
    EXPECT_EQ(ThreadsOfThisProcess(), threads);
  }
  module_ = LoadLibraryW(path_.c_str());
  ASSERT_NE(module_, nullptr);
  unregister_ = reinterpret_cast<Entry>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllUnregisterServer")));
}

TEST_F(ZSimDll, RefusesAnotherServersProgIdUnlessForcedAndLeavesItAloneOnRemoval) {
  NameOtherClass();
  EXPECT_EQ(register_(), HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(install_(TRUE, L"/Log x.log"), HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(Read(kProgIdClass), kOtherClass);
  EXPECT_EQ(install_(TRUE, L"/Force"), S_OK);
  EXPECT_EQ(Read(kProgIdClass), kOurClass);
  EXPECT_EQ(install_(TRUE, L"/NoSuchSwitch"), E_INVALIDARG);
  EXPECT_EQ(install_(TRUE, L"/Log"), E_INVALIDARG);

  NameOtherClass();
  EXPECT_EQ(install_(FALSE, nullptr), S_OK);
  EXPECT_EQ(Read(kProgIdClass), kOtherClass);
  EXPECT_EQ(Read(ClassKey() + L"\\InprocServer32"), L"");
}

}  // namespace
}  // namespace zsim::test
