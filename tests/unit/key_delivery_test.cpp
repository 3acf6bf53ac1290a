#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "capture/KeyDelivery.h"
#include "capture/PlatformError.h"
#include "capture/ProgramPath.h"
#include "fakes/Fakes.h"

namespace focura {
namespace {

constexpr uint32_t kMedium = static_cast<uint32_t>(Integrity::Medium);
constexpr uint32_t kHigh = static_cast<uint32_t>(Integrity::High);
constexpr uint32_t kSystem = static_cast<uint32_t>(Integrity::System);

TEST(KeysCanReach, OnlyProgramsAtOrBelowTheToolsLevelReceiveKeys) {
  struct Case {
    std::optional<uint32_t> own, target;
    bool reach;
  };
  const std::vector<Case> cases{
      {kMedium, kMedium, true},       {kMedium, static_cast<uint32_t>(Integrity::Low), true},
      {kMedium, kHigh, false},        {kMedium, kSystem, false},
      {kHigh, kHigh, true},           {kHigh, kSystem, false},
      {kMedium, std::nullopt, false},  // unreadable from medium: an elevated program
      {kHigh, std::nullopt, true},    {std::nullopt, kHigh, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeysCanReach(c.own, c.target), c.reach)
        << (c.own ? *c.own : 0) << " -> " << (c.target ? *c.target : 0);
  }
}

// Records what the delivery asked of the keyboard.
class FakeKeyboard : public KeyboardPort {
 public:
  std::optional<uint32_t> OwnIntegrity() override { return own; }
  std::optional<uint32_t> FocusIntegrity(bool& focusIsOwn) override {
    focusIsOwn = ownFocus;
    return target;
  }
  bool Insert(const KeyStrokes& keys, std::string& failure) override {
    calls.push_back("insert " + std::to_string(keys.size()));
    failure = insertFailure;
    return insertFailure.empty();
  }
  void ReleaseModifiers() override { calls.push_back("release"); }
  bool WaitProcessed(uint32_t ms) override {
    calls.push_back("wait " + std::to_string(ms));
    return processed;
  }
  std::optional<uint32_t> own = kMedium, target = kMedium;
  bool ownFocus = false;
  std::string insertFailure;
  bool processed = true;
  std::vector<std::string> calls;
};

std::string Failure(FakeKeyboard& kb, const KeyStrokes& keys) {
  try {
    DeliverKeys(kb, keys);
  } catch (const PlatformError& e) {
    return e.what();
  }
  return "";
}

TEST(DeliverKeys, KeysAreRefusedReleasedOrReportedInsteadOfLost) {
  const KeyStrokes v{KeyStroke::Char(U'v', kModCtrl)};
  FakeKeyboard ok;
  EXPECT_EQ(Failure(ok, v), "");
  EXPECT_EQ(ok.calls, (std::vector<std::string>{"insert 1", "wait 5000"}));
  FakeKeyboard none;
  EXPECT_EQ(Failure(none, {}), "");
  EXPECT_TRUE(none.calls.empty());

  // An elevated program in front: nothing is sent and the operator learns what to do.
  FakeKeyboard elevated;
  elevated.target = kHigh;
  const std::string refusal = Failure(elevated, v);
  EXPECT_NE(refusal.find("start the capture program without administrator rights"),
            std::string::npos)
      << refusal;
  EXPECT_TRUE(elevated.calls.empty());
  // The tool's own window is never refused.
  elevated.ownFocus = true;
  EXPECT_EQ(Failure(elevated, v), "");

  // Cut short: the modifiers are let go before the failure is reported.
  FakeKeyboard cut;
  cut.insertFailure = "Access is denied.";
  EXPECT_EQ(Failure(cut, v), "The keys could not be sent: Access is denied.");
  EXPECT_EQ(cut.calls, (std::vector<std::string>{"insert 1", "release"}));

  FakeKeyboard busy;
  busy.processed = false;
  EXPECT_EQ(Failure(busy, v), "The program in front did not take its keys within 5 s");
}

TEST(InstalledProgramPath, AMissingFixedPathIsLookedForInTheOtherProgramFolders) {
  const std::string fixed = "C:\\Program Files\\Canon\\EOS Utility\\EOS Utility.exe";
  const std::string x86 = "C:\\Program Files (x86)\\Canon\\EOS Utility\\EOS Utility.exe";
  fakes::FakeFiles files;
  // Nowhere: the fixed path, whose start then fails with the system's reason.
  EXPECT_EQ(InstalledProgramPath(fixed, files), fixed);
  files.programs = {x86};
  EXPECT_EQ(InstalledProgramPath(fixed, files), x86);
  // Where it is installed as named, it stays.
  files.programs.insert(fixed);
  EXPECT_EQ(InstalledProgramPath(fixed, files), fixed);

  // Windows on drive D: its own programs' folder is tried after the 32-bit one.
  files.programFilesX86 = "D:\\Program Files (x86)";
  files.programFiles = "D:\\Program Files";
  files.programs = {"D:\\Program Files\\Canon\\EOS Utility\\EOS Utility.exe"};
  EXPECT_EQ(InstalledProgramPath(fixed, files), *files.programs.begin());
  files.programs.insert("D:\\Program Files (x86)\\Canon\\EOS Utility\\EOS Utility.exe");
  EXPECT_EQ(InstalledProgramPath(fixed, files),
            "D:\\Program Files (x86)\\Canon\\EOS Utility\\EOS Utility.exe");
  // A path outside the folder is taken as it is.
  EXPECT_EQ(InstalledProgramPath("E:\\Cam\\cam.exe", files), "E:\\Cam\\cam.exe");
}

}  // namespace
}  // namespace focura
