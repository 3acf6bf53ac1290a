// zsim.exe registered per user in the test prefix and reached across processes through the
// tool's own COM client, exactly as the tool reaches the real Z server.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "text/NumberText.h"
#include "win32/ComApartment.h"
#include "win32/ComZServer.h"
#include "win32/RegionalSettings.h"
#include "win32/Utf.h"
#include "zserver/Commands.h"
#include "zserver/ZServerErrors.h"

namespace zsim::test {
namespace {

using focura::ZServerError;
using focura::win32::ComZServer;
namespace zcmd = focura::zcmd;

class ZSimServer : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = TempFile(L"zsim-record");
    DeleteFileW(log_.c_str());
    ASSERT_EQ(RunZsim(L"/RegServer /Log \"" + log_ + L"\""), 0u);
  }
  void TearDown() override { DeleteFileW(log_.c_str()); }

  std::string Sep() const { return num_.DecimalSeparator(); }

  focura::win32::ComApartment com_;
  focura::NumberText num_{focura::win32::RegionalDecimalSeparator()};
  std::wstring log_;
};

std::string FailureOf(ComZServer& z, const std::string& command) {
  try {
    z.Exec(command);
  } catch (const ZServerError& e) {
    EXPECT_EQ(e.Command(), command);
    return e.Message();
  }
  return "(no failure)";
}

TEST_F(ZSimServer, AnswersTheToolsCommandsAcrossProcesses) {
  ComZServer z;
  EXPECT_EQ(z.Exec("Sim Reset"), "OK");
  for (const std::string& c : {zcmd::kShow, zcmd::kJoyOn, zcmd::kHide})
    EXPECT_EQ(z.Exec(c), "OK");
  // "Z Wait" returns only when the move has ended: the query after it reads the target.
  z.Exec(zcmd::MoveTo(500.25, num_));
  EXPECT_EQ(z.Exec(zcmd::kWhere), "500" + Sep() + "2500 um");
  z.Exec(zcmd::MoveBy(-0.25, num_));
  EXPECT_EQ(z.Exec(zcmd::kWhere), "500" + Sep() + "0000 um");
  EXPECT_NE(z.Exec(zcmd::kProbeController).find(zcmd::kControllerMark), std::string::npos);
  EXPECT_EQ(z.Exec(zcmd::ObjGet(-1)), "Obj -1 none");
  EXPECT_EQ(z.Exec("Fly to the moon"), "Unknown command: Fly to the moon");
  EXPECT_EQ(z.Exec("Z ? ; Obj GetNum"), "500" + Sep() + "0000 um ; 0 positions");
}

TEST_F(ZSimServer, RefusalsAndInjectedFailuresArriveAsZServerErrors) {
  ComZServer z;
  z.Exec("Sim Reset");
  EXPECT_EQ(FailureOf(z, "Sim Jog 5"), "The joystick is off (send \"Joy On\")");
  EXPECT_NE(FailureOf(z, "Z 99999 ; Z Wait ;").find("outside the soft limits"), std::string::npos);
  EXPECT_EQ(z.Exec("Sim Fail 2 Motor stalled: axis lost"), "OK");
  EXPECT_EQ(z.Exec("Z ?"), "0" + Sep() + "0000 um");
  EXPECT_EQ(FailureOf(z, "CON /2J1R"), "Motor stalled: axis lost");
  EXPECT_EQ(z.Exec("Sim Pulses"), "0 pulses");  // the failed command did nothing
}

TEST_F(ZSimServer, EveryClientSharesOneSimulatorAndTheServerEndsWithTheLastOne) {
  {
    ComZServer first;
    first.Exec("Sim Reset ; Joy On ; Sim Jog 5 ; Z Wait ; Sim Store");
    ComZServer second;
    EXPECT_EQ(second.Exec("Obj GetNum ; Obj Get 1"), "1 positions ; Obj 1 5" + Sep() + "0000");
    EXPECT_EQ(ZsimProcesses(), 1);
  }
  EXPECT_TRUE(WaitFor([] { return ZsimProcesses() == 0; }));
}

TEST_F(ZSimServer, RecordsEveryCommandIntoTheRegisteredLog) {
  {
    ComZServer z;
    z.Exec("Sim Reset");
    z.Exec("Z 100 ; Z Wait ;");
    FailureOf(z, "Z 1e9");
  }
  WaitFor([] { return ZsimProcesses() == 0; });
  const auto record = ReadRecord(log_);
  ASSERT_EQ(record.size(), 3u);
  for (size_t i = 0; i < record.size(); ++i) {
    ASSERT_EQ(record[i].size(), 6u);
    EXPECT_EQ(record[i][0], std::to_string(i + 1));
  }
  EXPECT_EQ(record[1][3], "OK");
  EXPECT_EQ(record[1][4], "Z 100 ; Z Wait ;");
  EXPECT_EQ(record[1][5], "OK ; OK");
  // A 100 um move at 1000 um/s cannot complete sooner than 100 ms after it arrived.
  EXPECT_GE(std::stoul(record[1][2]) - std::stoul(record[1][1]), 100u);
  EXPECT_EQ(record[2][3], "ERR");
}

TEST_F(ZSimServer, ABusyServerIsAskedAgainUntilItAcceptsOrGivenUpOnWithAMessage) {
  ComZServer z;
  z.Exec("Sim Reset");
  z.Exec("Sim Busy 700");
  EXPECT_EQ(z.Exec("Z ?"), "0" + Sep() + "0000 um");  // asked again until the server took it

  ComZServer impatient(focura::kZServerProgId, focura::win32::BusyRetry{100, 300});
  impatient.Exec("Sim Busy 3000");
  const std::string failure = FailureOf(impatient, "Z 10 ; Z Wait ;");
  EXPECT_NE(failure.find("stayed busy"), std::string::npos) << failure;
  EXPECT_NE(failure.find("300 ms"), std::string::npos) << failure;
  EXPECT_EQ(z.Exec("Z ?"), "0" + Sep() + "0000 um");  // the given-up move never ran

  // A relative move is never asked twice: it fails at once, saying the step is uncertain.
  z.Exec("Sim Busy 3000");
  const DWORD start = GetTickCount();
  const std::string step = FailureOf(z, zcmd::MoveBy(-1, num_));
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_NE(step.find("the step may or may not have been made"), std::string::npos) << step;

  // Each command reached the server once: a retry is not a repetition.
  std::vector<std::string> commands;
  for (const auto& line : ReadRecord(log_))
    commands.push_back(line[4]);
  EXPECT_EQ(commands, (std::vector<std::string>{"Sim Reset", "Sim Busy 700", "Z ?", "Sim Busy 3000",
                                                "Z ?", "Sim Busy 3000"}));
}

TEST_F(ZSimServer, RegistrationRefusesToTakeAnotherServersProgIdUnlessForced) {
  const wchar_t* key = L"Software\\Classes\\Hoistra.HoistraCmd\\CLSID";
  const std::wstring other = L"{00000000-1111-2222-3333-444444444444}";
  const auto named = [key] {
    wchar_t value[64] = {};
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
    return std::wstring(value);
  };
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, nullptr, REG_SZ, other.c_str(),
                            static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  EXPECT_EQ(RunZsim(L"/RegServer"), 4u);
  EXPECT_EQ(named(), other);
  EXPECT_EQ(RunZsim(L"/RegServer /Force"), 0u);
  EXPECT_EQ(named(), L"{1BF51BFE-5151-4C5F-BB21-3AF8F0298408}");
  EXPECT_EQ(RunZsim(L"/UnregServer /Force"), 1u);
}

TEST_F(ZSimServer, UnregisteringLeavesAnotherServersProgIdAlone) {
  ASSERT_EQ(RunZsim(L"/UnregServer"), 0u);
  EXPECT_THROW(ComZServer z, focura::win32::ZServerUnavailable);

  // Another server owns the name now: our removal must not take it away.
  const wchar_t* key = L"Software\\Classes\\Hoistra.HoistraCmd\\CLSID";
  const std::wstring other = L"{00000000-1111-2222-3333-444444444444}";
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, nullptr, REG_SZ, other.c_str(),
                            static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  ASSERT_EQ(RunZsim(L"/UnregServer"), 0u);
  wchar_t value[64] = {};
  DWORD size = sizeof value;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(value), other);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\Hoistra.HoistraCmd");
  EXPECT_EQ(RunZsim(L"/NoSuchSwitch"), 1u);
}

// What an uninstaller runs: the registration goes only where it names a server in zsim.exe's own
// folder.
TEST_F(ZSimServer, UnregisteringHereTakesOnlyARegistrationOfThisFolder) {
  const std::wstring classKey =
      L"Software\\Classes\\CLSID\\{1BF51BFE-5151-4C5F-BB21-3AF8F0298408}\\LocalServer32";
  const auto registered = [&] {
    HKEY key = nullptr;
    const bool there =
        RegOpenKeyExW(HKEY_CURRENT_USER, classKey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key)
      RegCloseKey(key);
    return there;
  };
  const auto pointAt = [&](const std::wstring& server) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, classKey.c_str(), nullptr, REG_SZ, server.c_str(),
                              static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  };
  struct Case {
    const wchar_t* server;  // the entry written over the registration, or none
    bool removed;
  };
  for (const Case& c : {Case{nullptr, true}, Case{L"\"C:\\Elsewhere\\zsim.exe\"", false},
                        Case{L"\"C:\\Elsewhere\\sub\\zsim.exe\"", false}}) {
    SCOPED_TRACE(c.server ? focura::win32::Narrow(c.server) : "this folder's zsim.exe");
    ASSERT_EQ(RunZsim(L"/RegServer"), 0u);
    if (c.server)
      pointAt(c.server);
    EXPECT_EQ(RunZsim(L"/UnregServer /Here"), 0u);
    EXPECT_EQ(registered(), !c.removed);
  }
  ASSERT_EQ(RunZsim(L"/UnregServer"), 0u);
  EXPECT_EQ(RunZsim(L"/Here"), 1u);
}

}  // namespace
}  // namespace zsim::test
