#include <gtest/gtest.h>

#include <algorithm>
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

// A keyboard on a fake clock. The program it sends to answers at times given in milliseconds
// after the insertion; a look that finds nothing yet waits its whole time.
class FakeKeyboard : public KeyboardPort {
 public:
  explicit FakeKeyboard(fakes::FakeClock& clock) : clock_(clock) {}
  std::optional<uint32_t> OwnIntegrity() override { return own; }
  std::optional<uint32_t> FocusIntegrity(bool& focusIsOwn) override {
    focusIsOwn = ownFocus;
    return target;
  }
  bool Insert(const KeyStrokes& keys, std::string& failure) override {
    calls.push_back("insert " + std::to_string(keys.size()));
    insertedAt_ = clock_.now;
    failure = insertFailure;
    return insertFailure.empty();
  }
  void ReleaseModifiers() override { calls.push_back("release"); }
  bool Watching() override { return watching; }
  bool WaitWatched(uint32_t ms) override {
    if (hookAlive && Since() >= watchedAfter)
      return true;
    clock_.now += ms;
    return false;
  }
  bool InputStageMoved() override { return Since() >= inputMovedAfter; }
  void RenewWatch() override {
    calls.push_back("renew");
    hookAlive = renewedHookWorks;
  }
  KeysHandled WaitHandled(uint32_t ms) override {
    ++roundTripLooks;
    if (Since() >= windowGoneAfter)
      return KeysHandled::WindowGone;
    if (Since() >= handledAfter)
      return KeysHandled::Yes;
    clock_.now += ms;
    return KeysHandled::NotYet;
  }
  KeyTarget Target() override {
    const uint32_t t = Since();
    if (t >= endedAfter)
      return KeyTarget::Ended;
    return t >= hungFrom && t < hungUntil ? KeyTarget::Hung : KeyTarget::Alive;
  }
  uint32_t Since() const { return clock_.now - insertedAt_; }

  static constexpr uint32_t kNever = 0xFFFFFFFF;
  std::optional<uint32_t> own = kMedium, target = kMedium;
  bool ownFocus = false;
  std::string insertFailure;
  bool watching = true, hookAlive = true, renewedHookWorks = true;
  uint32_t watchedAfter = 0, inputMovedAfter = 0;
  uint32_t handledAfter = 0, windowGoneAfter = kNever, endedAfter = kNever;
  uint32_t hungFrom = kNever, hungUntil = kNever;
  int roundTripLooks = 0;
  std::vector<std::string> calls;

 private:
  fakes::FakeClock& clock_;
  uint32_t insertedAt_ = 0;
};

struct RecordingWatcher : KeyWaitWatcher {
  void KeysAwaited(bool awaited) override { told.push_back(awaited); }
  std::vector<bool> told;
};

struct Delivery {
  fakes::FakeClock clock;
  FakeKeyboard kb{clock};
  RecordingWatcher watcher;
  uint32_t took = 0;  // ms from the start of the delivery to its end

  std::string Failure(const KeyStrokes& keys = {KeyStroke::Char(U'v', kModCtrl)}) {
    const uint32_t start = clock.now;
    std::string failure;
    try {
      DeliverKeys(kb, clock, watcher, keys);
    } catch (const PlatformError& e) {
      failure = e.what();
    }
    took = clock.now - start;
    return failure;
  }
};

TEST(DeliverKeys, KeysAreRefusedReleasedOrReportedInsteadOfLost) {
  Delivery ok;
  EXPECT_EQ(ok.Failure(), "");
  EXPECT_EQ(ok.kb.calls, (std::vector<std::string>{"insert 1"}));
  Delivery none;
  EXPECT_EQ(none.Failure({}), "");
  EXPECT_TRUE(none.kb.calls.empty());

  // An elevated program in front: nothing is sent and the operator learns what to do.
  Delivery elevated;
  elevated.kb.target = kHigh;
  const std::string refusal = elevated.Failure();
  EXPECT_NE(refusal.find("start the capture program without administrator rights"),
            std::string::npos)
      << refusal;
  EXPECT_TRUE(elevated.kb.calls.empty());
  // The tool's own window is never refused.
  elevated.kb.ownFocus = true;
  EXPECT_EQ(elevated.Failure(), "");

  // Cut short: the modifiers are let go before the failure is reported, as KeysNotSent.
  Delivery cut;
  cut.kb.insertFailure = "Access is denied.";
  EXPECT_THROW(DeliverKeys(cut.kb, cut.clock, cut.watcher, {KeyStroke::Char(U'v')}), KeysNotSent);
  EXPECT_EQ(cut.Failure(), "The keys could not be sent: Access is denied.");
  EXPECT_EQ(cut.kb.calls, (std::vector<std::string>{"insert 1", "release", "insert 1", "release"}));
}

TEST(DeliverKeys, WaitsAsLongAsTheProgramLivesAndAnswersAndShowsALongWait) {
  constexpr uint32_t kNever = FakeKeyboard::kNever;
  const std::string ended = "The program in front ended before it took its keys";
  const std::string hung = "The program in front is not responding and did not take its keys";
  const std::string bound = "The program in front did not take its keys within 120 s";
  struct Case {
    const char* what;
    uint32_t handled, ended, hungFrom, hungUntil, windowGone;
    std::string failure;
    uint32_t leastMs, mostMs;  // how long the delivery took
    bool shown;
  };
  const std::vector<Case> cases{
      {"taken at once", 0, kNever, kNever, kNever, kNever, "", 0, 10, false},
      {"taken after 2 s", 2000, kNever, kNever, kNever, kNever, "", 2000, 2300, false},
      {"a long exposure", 60000, kNever, kNever, kNever, kNever, "", 60000, 60300, true},
      {"busy without answering for 8 s", 9000, kNever, 1000, 9000, kNever, "", 9000, 9300, true},
      {"ended while busy", kNever, 5000, kNever, kNever, kNever, ended, 5000, 5300, true},
      {"hung for good", kNever, kNever, 1000, kNever, kNever, hung, 11000, 11600, true},
      {"never", kNever, kNever, kNever, kNever, kNever, bound, 120000, 120300, true},
      {"window gone, program lives", kNever, kNever, kNever, kNever, 4000, "", 4000, 4300, true},
      {"window gone with its program", kNever, 4000, kNever, kNever, 4000, ended, 4000, 4300, true},
  };
  for (const Case& c : cases) {
    Delivery d;
    d.kb.handledAfter = c.handled;
    d.kb.endedAfter = c.ended;
    d.kb.hungFrom = c.hungFrom;
    d.kb.hungUntil = c.hungUntil;
    d.kb.windowGoneAfter = c.windowGone;
    EXPECT_EQ(d.Failure(), c.failure) << c.what;
    EXPECT_GE(d.took, c.leastMs) << c.what;
    EXPECT_LE(d.took, c.mostMs) << c.what;
    // Shown once the wait passed 3 s, and taken back however it ended.
    EXPECT_EQ(d.watcher.told, c.shown ? (std::vector<bool>{true, false}) : std::vector<bool>{})
        << c.what;
  }
}

TEST(DeliverKeys, AWatchTheSystemRemovedIsSetUpAgainAndTheKeysStillCount) {
  constexpr uint32_t kNever = FakeKeyboard::kNever;
  struct Case {
    const char* what;
    bool watching, hookAlive;
    uint32_t watched, inputMoved;
    std::string failure;
    int renewals;
    uint32_t leastMs, mostMs;
  };
  const std::vector<Case> cases{
      {"the watch sees the keys", true, true, 10, 0, "", 0, 10, 300},
      {"a slow hook that still works", true, true, 700, 0, "", 0, 700, 1000},
      // Removed: the input stage took the keys and the watch stays silent.
      {"removed hook", true, false, 0, 5, "", 1, 1000, 1300},
      // Silent watch and input stage: the keys have not gone in, so no round trip can prove
      // them handled.
      {"keys held before the input stage", true, false, 0, kNever,
       "The program in front did not take its keys within 120 s", 0, 120000, 120300},
      {"no hook could be set", false, false, 0, kNever, "", 0, 0, 10},
  };
  for (const Case& c : cases) {
    Delivery d;
    d.kb.watching = c.watching;
    d.kb.hookAlive = c.hookAlive;
    d.kb.watchedAfter = c.watched;
    d.kb.inputMovedAfter = c.inputMoved;
    EXPECT_EQ(d.Failure(), c.failure) << c.what;
    EXPECT_EQ(std::count(d.kb.calls.begin(), d.kb.calls.end(), "renew"), c.renewals) << c.what;
    EXPECT_GE(d.took, c.leastMs) << c.what;
    EXPECT_LE(d.took, c.mostMs) << c.what;
    if (c.inputMoved == kNever && c.watching) {
      EXPECT_EQ(d.kb.roundTripLooks, 0) << c.what;
    }
  }

  // Frame after frame: the hook set again serves the next delivery; one that is removed again
  // is set up again, and no delivery fails.
  for (bool renewedHookWorks : {true, false}) {
    Delivery d;
    d.kb.hookAlive = false;
    d.kb.renewedHookWorks = renewedHookWorks;
    d.kb.inputMovedAfter = 5;
    for (int frame = 0; frame < 3; ++frame)
      EXPECT_EQ(d.Failure(), "") << frame;
    EXPECT_EQ(std::count(d.kb.calls.begin(), d.kb.calls.end(), "renew"), renewedHookWorks ? 1 : 3);
  }
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
