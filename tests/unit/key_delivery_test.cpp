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

constexpr uint32_t kNever = 0xFFFFFFFF;

// When the program and the system's input stage answer, in milliseconds after the insertion.
struct Answers {
  uint32_t handled = 0, windowGone = kNever, ended = kNever, hungFrom = kNever, hungUntil = kNever;
  bool watching = true, hookAlive = true, renewedHookWorks = true;
  uint32_t watched = 0, inputMoved = 0;
};

// A keyboard on a fake clock, its program answering as `at` says; a look that finds nothing yet
// waits its whole time.
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
  bool Watching() override { return at.watching; }
  bool WaitWatched(uint32_t ms) override {
    if (at.hookAlive && Since() >= at.watched)
      return true;
    clock_.now += ms;
    return false;
  }
  bool InputStageMoved() override { return Since() >= at.inputMoved; }
  void RenewWatch() override {
    calls.push_back("renew");
    at.hookAlive = at.renewedHookWorks;
  }
  KeysHandled WaitHandled(uint32_t ms) override {
    ++roundTripLooks;
    if (Since() >= at.windowGone)
      return KeysHandled::WindowGone;
    if (Since() >= at.handled)
      return KeysHandled::Yes;
    clock_.now += ms;
    return KeysHandled::NotYet;
  }
  KeyTarget Target() override {
    const uint32_t t = Since();
    if (t >= at.ended)
      return KeyTarget::Ended;
    return t >= at.hungFrom && t < at.hungUntil ? KeyTarget::Hung : KeyTarget::Alive;
  }
  uint32_t Since() const { return clock_.now - insertedAt_; }

  std::optional<uint32_t> own = kMedium, target = kMedium;
  bool ownFocus = false;
  std::string insertFailure;
  Answers at;
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

TEST(DeliverKeys, WaitsWhileTheProgramLivesAndCountsKeysTheInputStageTookAsTaken) {
  const std::string ended = "The program in front ended before it took its keys";
  const std::string hung =
      "The program in front was not responding and did not take its keys within 120 s";
  const std::string bound = "The program in front did not take its keys within 120 s";
  struct Case {
    const char* what;
    Answers at;
    std::string failure;
    uint32_t leastMs, mostMs;  // how long the delivery took
    bool shown;                // the wait, once it passed 3 s
    int renewals = 0;          // of a watch the system removed
  };
  const Case cases[] = {
      {"taken at once", {}, "", 0, 10, false},
      {"taken after 2 s", {.handled = 2000}, "", 2000, 2300, false},
      {"a long exposure", {.handled = 60000}, "", 60000, 60300, true},
      {"busy without answering for 8 s",
       {.handled = 9000, .hungFrom = 1000, .hungUntil = 9000},
       "",
       9000,
       9300,
       true},
      {"ended while busy", {.handled = kNever, .ended = 5000}, ended, 5000, 5300, true},
      // Busy on its window's thread for 25 s: not responding to the system after 5 s, and waited
      // for all the same.
      {"busy without answering for 25 s",
       {.handled = 25000, .hungFrom = 5000, .hungUntil = 25000},
       "",
       25000,
       25300,
       true},
      {"hung for good", {.handled = kNever, .hungFrom = 1000}, hung, 120000, 120300, true},
      {"never", {.handled = kNever}, bound, 120000, 120300, true},
      {"window gone, program lives", {.handled = kNever, .windowGone = 4000}, "", 4000, 4300, true},
      {"window gone with its program",
       {.handled = kNever, .windowGone = 4000, .ended = 4000},
       ended,
       4000,
       4300,
       true},
      {"the watch sees the keys", {.watched = 10}, "", 10, 300, false},
      {"a slow hook that still works", {.watched = 700}, "", 700, 1000, false},
      // Removed: the input stage took the keys and the watch stays silent.
      {"removed hook", {.hookAlive = false, .inputMoved = 5}, "", 1000, 1300, false, 1},
      // Silent watch and input stage: the keys have not gone in, so no round trip can prove
      // them handled.
      {"keys held before the input stage",
       {.hookAlive = false, .inputMoved = kNever},
       bound,
       120000,
       120300,
       true},
      {"no hook could be set",
       {.watching = false, .hookAlive = false, .inputMoved = kNever},
       "",
       0,
       10,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Delivery d;
    d.kb.at = c.at;
    EXPECT_EQ(d.Failure(), c.failure);
    EXPECT_GE(d.took, c.leastMs);
    EXPECT_LE(d.took, c.mostMs);
    EXPECT_EQ(d.watcher.told, c.shown ? (std::vector<bool>{true, false}) : std::vector<bool>{});
    EXPECT_EQ(std::count(d.kb.calls.begin(), d.kb.calls.end(), "renew"), c.renewals);
    if (c.at.watching && c.at.inputMoved == kNever) {
      EXPECT_EQ(d.kb.roundTripLooks, 0);
    }
  }
}

TEST(DeliverKeys, AWatchTheSystemRemovedIsSetUpAgainForTheNextFrames) {
  // Frame after frame: the hook set again serves the next delivery; one that is removed again
  // is set up again, and no delivery fails.
  for (bool renewedHookWorks : {true, false}) {
    Delivery d;
    d.kb.at = {.hookAlive = false, .renewedHookWorks = renewedHookWorks, .inputMoved = 5};
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
