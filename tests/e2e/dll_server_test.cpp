// The Z server as an in-process DLL: the tool loads one of its own width and drives it through its
// window; a DLL of the other width only, which it can never load, makes the start-up name the
// program of the release that can.

#include "Desktop.h"
#include "E2ETest.h"
#include "ZServerRegistration.h"
#include "win32/Owned.h"

#include <filesystem>

namespace focura::e2e {
namespace {

constexpr bool k32Bit = sizeof(void*) == 4;

// Whether the process runs in the 32-bit half of a 64-bit system (true for every 32-bit program
// in a WINEARCH=win64 prefix).
bool IsWow64(unsigned long pid) {
  const win32::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  BOOL wow64 = FALSE;
  if (process)
    IsWow64Process(process.get(), &wow64);
  return wow64 != FALSE;
}

class DllServer : public E2ETest {
 protected:
  // A copy of `dll` in the test's folder, registered with regsvr32 of `width` as the only Z
  // server (zsim.exe's registration removed).
  void RegisterCopy(const std::string& dll, DllWidth width) {
    ASSERT_FALSE(dll.empty()) << "no DLL simulator of that width was configured";
    ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(Wide(dll))))
        << dll << " is missing: build both widths (scripts/test does)";
    tool->UnregisterZServer();
    copy_ = tool->PathOf(std::filesystem::path(Wide(dll)).filename().string());
    CopyFileTo(dll, copy_);
    width_ = width;
    RegisterDllServer(copy_, width, tool->RecordPath(), tool->Dir());
  }
  void TearDown() override {
    if (!copy_.empty()) {
      tool.reset();  // the tool ends first: its process holds the DLL
      try {
        UnregisterDllServer(copy_, width_, ".");
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
      }
    }
    E2ETest::TearDown();
  }

  std::string copy_;
  DllWidth width_ = DllWidth::Own;
};

TEST_F(DllServer, TheToolDrivesADllOfItsOwnWidthThroughOneHardwareTriggerStack) {
  RegisterCopy(TheConfig().zsimDll, DllWidth::Own);
  tool->Start();
  // Run as built: a 32-bit build runs in the 32-bit half of the 64-bit system.
  EXPECT_EQ(IsWow64(tool->Tool().Id()), k32Bit);
  EXPECT_EQ(Commands(tool->WaitRecord(3)), (std::vector<std::string>{"Show", "Joy On", "Hide"}));
  EXPECT_TRUE(ProgramsUnder(tool->Dir(), "zsim.exe").empty()) << "a local server answered";

  tool->Menu("mnuHWT");
  ASSERT_TRUE(WaitUntil([&] { return tool->Enabled("cmdLaunchCapture"); }, kStepMs));
  tool->Click("cmdLaunchCapture");
  EXPECT_EQ(tool->WaitStatusIs("EZStepper simulator v1"), "EZStepper simulator v1");
  SetTopAt(10);
  SetBottomAt(20);
  SetPlanes(2, "10.00");
  SetTimings("0.1", "0.1", "0.0");
  EXPECT_EQ(RunStack(), "Z-stack finished");
  const std::string measured = Execute("Sim Pulses");
  EXPECT_EQ(measured.rfind("2 pulses ", 0), 0u) << measured;
  EXPECT_EQ(tool->CloseAndWait(), 0u);
  EXPECT_EQ(Commands(tool->Record()).back(), "Unload");
}

TEST_F(DllServer, ADllOfTheOtherWidthOnlyNamesTheProgramToStartInsteadOfOfferingTheSimulator) {
  RegisterCopy(TheConfig().otherZsimDll, DllWidth::Other);
  EXPECT_EQ(RegisteredDll(DllWidth::Own), "");
  tool->StartProcess();
  const HWND box = WaitForTopLevel(kToolCaption, tool->Tool().Id(), kStartMs, "#32770");
  ASSERT_NE(box, nullptr) << "no start-up message box; " << tool->Describe();
  std::string message;
  for (HWND h : ChildrenOfClass(box, "Static"))
    message += TextOf(h);
  const std::string expected =
      k32Bit ? "The Z server on this PC is a 64-bit component: start focura.exe"
             : "The Z server on this PC is a 32-bit component: start focura32.exe";
  EXPECT_NE(message.find(expected), std::string::npos) << message;
  EXPECT_EQ(message.find("simulator"), std::string::npos) << message;
  EXPECT_EQ(GetDlgItem(box, IDYES), nullptr) << "the simulator is offered";
  const HWND ok = GetDlgItem(box, IDOK);
  ASSERT_NE(ok, nullptr);
  PostMessageW(ok, BM_CLICK, 0, 0);
  ASSERT_TRUE(tool->Tool().WaitExit(kStepMs));
  EXPECT_NE(tool->Tool().ExitCode(), 0u);
  EXPECT_TRUE(tool->Record().empty()) << "the other width's DLL was reached";
}

}  // namespace
}  // namespace focura::e2e
