// The package as a lab unpacks it: run by scripts/test against the unpacked folder (the
// FOCURA_E2E_TOOL and FOCURA_E2E_ZSIM variables name its programs), not by the everyday suite.
// Both programs carry the release's version, and the packaged tool acquires one plane with the
// hardware trigger through the packaged simulator.

#include "E2ETest.h"

#include <vector>

#ifndef FOCURA_E2E_VERSION
#define FOCURA_E2E_VERSION ""
#endif

namespace focura::e2e {
namespace {

using Strings = std::vector<std::string>;

struct VersionInfo {
  std::string productVersion;
  std::string productName;
  std::string fileDescription;
  std::string fixed;  // the numeric file version, "major.minor.patch.build"
};

std::string StringValue(std::vector<BYTE>& data, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || length == 0)
    return {};
  return Narrow(std::wstring(static_cast<const wchar_t*>(value), length - 1));
}

VersionInfo ReadVersion(const std::string& exe) {
  const std::wstring path = Wide(exe);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0)
    return {};
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
    return {};
  VersionInfo info{StringValue(data, L"ProductVersion"),
                   StringValue(data, L"ProductName"),
                   StringValue(data, L"FileDescription"),
                   {}};
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    info.fixed = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                 std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                 std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                 std::to_string(LOWORD(fixed->dwFileVersionLS));
  }
  return info;
}

class Package : public E2ETest {};

TEST_F(Package, ProgramsCarryTheVersionAndOnePlaneRunsWithTheHardwareTrigger) {
  const std::string version = FOCURA_E2E_VERSION;
  ASSERT_FALSE(version.empty());
  for (const std::string& exe : {TheConfig().toolExe, TheConfig().zsimExe}) {
    SCOPED_TRACE(exe);
    const VersionInfo info = ReadVersion(exe);
    EXPECT_EQ(info.productVersion, version);
    EXPECT_EQ(info.fixed, version + ".0");
    EXPECT_EQ(info.productName, "Focura Acquisition");
    EXPECT_FALSE(info.fileDescription.empty());
  }

  StartTool();
  tool->WaitRecord(3);
  tool->Menu("mnuHWT");
  ASSERT_TRUE(WaitUntil([&] { return tool->Enabled("cmdLaunchCapture"); }, kStepMs));
  tool->Click("cmdLaunchCapture");
  EXPECT_EQ(tool->WaitStatusIs("EZStepper simulator v1"), "EZStepper simulator v1");
  ASSERT_TRUE(WaitUntil([&] { return tool->Enabled("cmdFocura"); }, kStepMs));

  // A step longer than the stack leaves one plane, at the bottom end.
  SetTopAt(10);
  SetBottomAt(14);
  tool->Type("txtNumPlanes", "");
  tool->Type("txtStepSize", "10");
  tool->Click("cmdSetStepSize");
  EXPECT_TRUE(WaitUntil([&] { return tool->Text("txtNumPlanes") == "1"; }, kStepMs));
  SetTimings("0.1", "0.1", "0.0");
  const size_t from = tool->Record().size();
  EXPECT_EQ(RunStack(), "Z-stack finished");
  EXPECT_EQ(CommandsFrom(from), (Strings{"Z 24.0000 ; Z Wait ;", "Z Rel -10.0000 ; Z Wait ;", "Z ?",
                                         "CON /2J1R", "CON /2J0R"}));

  EXPECT_EQ(tool->CloseAndWait(), 0u);
  EXPECT_EQ(CommandsFrom(from + 5), (Strings{"Unload"}));
}

}  // namespace
}  // namespace focura::e2e
