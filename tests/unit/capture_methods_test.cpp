#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/CaptureMethods.h"
#include "capture/KeyNotation.h"
#include "capture/PlatformError.h"
#include "capture/ProgramPath.h"
#include "form_rig.h"
#include "ui/CaptureControls.h"
#include "ui/Controls.h"

namespace focura {
namespace {

using Strings = std::vector<std::string>;

const std::string kProgFile = "C:\\Focura\\captureprogpath.txt";
const std::string kKeyFile = "C:\\Focura\\capturekey.txt";
using Items = std::vector<Control>;
const Items kItems{Control::mnuEOSUtil, Control::mnuCanonRemote, Control::mnuBreeze,
                   Control::mnuFujiSU,  Control::mnuPath,        Control::mnuHWT};

TEST(CaptureMethodTable, SixMethodsInMenuOrderMatchTheWindowMenus) {
  const auto methods = CaptureMethods();
  ASSERT_EQ(methods.size(), 6u);
  ASSERT_EQ(std::size(kMethodItems), 6u);
  const std::vector<int16_t> codes{1, 2, 3, 4, 5, 100};
  for (size_t i = 0; i < methods.size(); ++i) {
    EXPECT_EQ(methods[i].code, codes[i]);
    EXPECT_EQ(ControlOf(kMethodItems[i].item), kItems[i]);
    EXPECT_EQ(kMethodItems[i].code, codes[i]);
    const MenuSpec* menu = FindMenu(kItems[i]);
    ASSERT_NE(menu, nullptr) << ControlName(kItems[i]);
    EXPECT_EQ(menu->caption, methods[i].caption);
    EXPECT_EQ(menu->parent, Control::mnuCapture);
  }
  EXPECT_EQ(FindCaptureMethod(int16_t{0}), nullptr);
  for (const MethodItem& m : kMethodItems)
    EXPECT_NE(m.item, Command::mnuDelayKey);
}

struct CaptureMenu : ::testing::Test {
  testing::FormRig r;
  void SetUp() override { r.LoadAndForget(); }
  // Method items carrying a check mark.
  Items Checked() {
    Items on;
    for (const Control item : kItems) {
      if (r.w.checked[item])
        on.push_back(item);
    }
    return on;
  }
  bool Enabled(Control button) {
    auto it = r.w.enabled.find(button);
    return it == r.w.enabled.end() || it->second;
  }
  void Files(const std::string& prog, const std::string& key) {
    r.files.files[kProgFile] = prog;
    r.files.files[kKeyFile] = key;
  }
};

TEST_F(CaptureMenu, ChoosingAMethodMovesTheCheckMarkAndEnablesOnlyTheLaunch) {
  r.w.enabled = {{Control::cmdLaunchCapture, false},
                 {Control::cmdCapture, false},
                 {Control::cmdFocura, false}};
  r.form.Dispatch(Command::mnuBreeze);
  EXPECT_EQ(r.set.Frame.CaptureType, 3);
  EXPECT_EQ(Checked(), Items{Control::mnuBreeze});
  EXPECT_TRUE(Enabled(Control::cmdLaunchCapture));
  EXPECT_FALSE(Enabled(Control::cmdCapture));
  EXPECT_FALSE(Enabled(Control::cmdFocura));

  r.form.Dispatch(Command::mnuHWT);
  EXPECT_EQ(r.set.Frame.CaptureType, 100);
  EXPECT_EQ(Checked(), Items{Control::mnuHWT});
  EXPECT_TRUE(r.desk.events.empty()) << "choosing launches nothing";
  EXPECT_TRUE(r.Sent().empty());
}

TEST_F(CaptureMenu, OpeningTheMenuWithoutAMethodChangesNothing) {
  r.w.enabled = {{Control::cmdLaunchCapture, false}};
  r.form.Dispatch(Command::mnuCapture);
  EXPECT_TRUE(r.w.checked.empty());
  EXPECT_FALSE(Enabled(Control::cmdLaunchCapture));
}

TEST_F(CaptureMenu, LaunchStartsTheFixedProgramQuotedAndEnablesCaptureAndRun) {
  r.form.Dispatch(Command::mnuEOSUtil);
  r.w.texts[kStatusLine] = "old";
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_EQ(r.set.Frame.CaptureTaskId, 4242);
  EXPECT_EQ(r.w.Status(), "");
  EXPECT_EQ(r.w.pumps, 1);
  EXPECT_TRUE(Enabled(Control::cmdCapture));
  EXPECT_TRUE(Enabled(Control::cmdFocura));
  for (const Command item : {Command::mnuCanonRemote, Command::mnuBreeze, Command::mnuFujiSU}) {
    r.form.Dispatch(item);
    r.form.Dispatch(Command::cmdLaunchCapture);
  }
  EXPECT_EQ(r.desk.events,
            (Strings{"start \"C:\\Program Files\\Canon\\EOS Utility\\EOS Utility.exe\"",
                     "start \"C:\\Program Files\\Canon\\RemoteCapture\\RemoteCapture.exe\"",
                     "start \"C:\\Program Files\\BreezeSys\\DSLR Remote Pro\\DSlrRemote.exe\"",
                     "start \"C:\\Program Files\\HyperUtility\\StudioUtility.exe\""}));
  // A 32-bit installation is started from its own folder, still quoted.
  r.desk.events.clear();
  r.files.programs = {"C:\\Program Files (x86)\\HyperUtility\\StudioUtility.exe"};
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_EQ(r.desk.events,
            Strings{"start \"C:\\Program Files (x86)\\HyperUtility\\StudioUtility.exe\""});
}

TEST_F(CaptureMenu, EachFixedProgramGetsTheKeyOfItsMethod) {
  r.set.Frame.FujiKey = 2;
  for (const MethodItem& item : kMethodItems) {
    const CaptureMethod& method = *FindCaptureMethod(item.code);
    if (method.programPath.empty())
      continue;
    r.form.Dispatch(item.item);
    r.form.Dispatch(Command::cmdLaunchCapture);
    r.desk.sent.clear();
    r.form.Dispatch(Command::cmdCapture);
    const std::string key =
        method.keyRule == CaptureKeyRule::Fixed ? std::string(method.key) : std::string("{ENTER}");
    EXPECT_EQ(r.desk.sent, std::vector<KeyStrokes>{ParseKeys(key)}) << method.caption;
  }
}

TEST_F(CaptureMenu, AFailedLaunchAfterAGoodOneDisablesCaptureAndKeepsTheTask) {
  r.form.Dispatch(Command::mnuFujiSU);
  r.form.Dispatch(Command::cmdLaunchCapture);
  r.form.Dispatch(Command::mnuBreeze);  // another choice keeps the launch
  EXPECT_EQ(r.set.Frame.CaptureTaskId, 4242);
  EXPECT_TRUE(Enabled(Control::cmdCapture));
  r.desk.failStart = true;
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_EQ(r.w.Status(), "Error Launching Capture Program");
  EXPECT_EQ(r.set.Frame.CaptureTaskId, 4242);
  EXPECT_FALSE(Enabled(Control::cmdCapture));
  EXPECT_FALSE(Enabled(Control::cmdFocura));
}

TEST_F(CaptureMenu, HardwareTriggerProbesTheController) {
  r.form.Dispatch(Command::mnuHWT);
  r.zs.replies["CON /2&"] = "OK EZStepper AllMotion v6";
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_EQ(r.Sent(), Strings{"CON /2&"});
  EXPECT_EQ(r.set.Frame.CaptureTaskId, 1);
  EXPECT_EQ(r.w.Status(), "OK EZStepper AllMotion v6");
  EXPECT_TRUE(Enabled(Control::cmdCapture));
  EXPECT_TRUE(r.desk.events.empty());

  r.zs.replies["CON /2&"] = "ezstepper";  // the mark is case-sensitive
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_EQ(r.set.Frame.CaptureTaskId, 0);
  EXPECT_EQ(r.w.Status(), "EZStepper does not respond");
  EXPECT_FALSE(Enabled(Control::cmdCapture));
  EXPECT_FALSE(Enabled(Control::cmdFocura));
}

TEST_F(CaptureMenu, FailingProbeIsALaunchErrorAndKeepsTheTask) {
  r.form.Dispatch(Command::mnuHWT);
  r.set.Frame.CaptureTaskId = 1;
  r.zs.failures["CON /2&"] = "port closed";
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_EQ(r.w.Status(), "Error Launching Capture Program");
  EXPECT_EQ(r.set.Frame.CaptureTaskId, 1);
  EXPECT_FALSE(Enabled(Control::cmdCapture));
}

TEST_F(CaptureMenu, CustomMethodReadsBothFilesAndLaunchesTheLineWithItsPathQuoted) {
  Files("  C:\\My Cam\\cam.exe  -remote  \r\n", "{F8}\r\n");
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.set.CaptureProgPath, "C:\\My Cam\\cam.exe  -remote");
  EXPECT_EQ(r.set.Frame.CaptureKey, "{F8}");
  EXPECT_EQ(r.w.Status(), "C:\\My Cam\\cam.exe  -remote Key <{F8}>");
  EXPECT_EQ(Checked(), Items{Control::mnuPath});
  EXPECT_TRUE(Enabled(Control::cmdLaunchCapture));

  r.files.programs = {"C:\\My Cam\\cam.exe"};
  // Unquoted, the path's blank would make "C:\My" the program: nothing is started.
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_TRUE(r.desk.events.empty());
  EXPECT_EQ(r.w.Status(), "Error Launching Capture Program");
  EXPECT_NE(r.w.StatusTip().find("no program \"C:\\My Cam\\cam.exe  -remote\" exists"),
            std::string::npos)
      << r.w.StatusTip();
  EXPECT_FALSE(Enabled(Control::cmdCapture));

  Files("\"C:\\My Cam\\cam.exe\"  -remote  \r\n", "{F8}\r\n");
  r.form.Dispatch(Command::mnuPath);
  r.desk.events.clear();
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_EQ(r.desk.events, Strings{"start \"C:\\My Cam\\cam.exe\"  -remote"});
  EXPECT_TRUE(Enabled(Control::cmdCapture));
}

TEST(CommandLineToStart, TheProgramPathIsQuotedAndNeverCutShort) {
  fakes::FakeFiles files;
  files.programs = {"C:\\Program Files\\Cam\\cam.exe", "C:\\Tools\\cam.exe", "C:\\Program.exe",
                    "C:\\Program"};
  struct Case {
    std::string line, started;  // "" for a refusal
  };
  const Case cases[] = {
      {"\"C:\\Program Files\\Cam\\cam.exe\" /remote",
       "\"C:\\Program Files\\Cam\\cam.exe\" /remote"},
      {"C:\\Program Files\\Cam\\cam.exe", "\"C:\\Program Files\\Cam\\cam.exe\""},
      {"C:\\Tools\\cam.exe /remote -x", "\"C:\\Tools\\cam.exe\" /remote -x"},
      {"cam.exe /remote", "\"cam.exe\" /remote"},
      {"C:\\Tools\\cam.exe", "C:\\Tools\\cam.exe"},
      // Neither the whole path nor a program before its first blank: never "C:\Program".
      {"C:\\Program Files\\Cam\\cam.exe /remote", ""},
      {"C:\\Program Files\\Other\\other.exe", ""},
      {"C:\\Tools\\missing.exe /remote", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::string started;
    try {
      started = CommandLineToStart(c.line, files);
    } catch (const PlatformError& e) {
      EXPECT_NE(std::string(e.what()).find("double quotes"), std::string::npos);
    }
    EXPECT_EQ(started, c.started);
  }
}

TEST_F(CaptureMenu, SpaceNameBecomesABlankOnlyInCapitals) {
  Files("cam.exe", "  {SPACE}  ");
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.set.Frame.CaptureKey, " ");
  EXPECT_EQ(r.w.Status(), "cam.exe Key < >");

  // A NUL or line end in the key file would cut or hide the rest of the status line.
  Files("cam.exe", std::string("a\0b\tc", 5));
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.w.Status(), "cam.exe Key <a\\0b\\tc>");

  Files("cam.exe", "{space}");
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.set.Frame.CaptureKey, "{space}");

  Files("cam.exe", "a{SPACE}{SPACE}b");
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.set.Frame.CaptureKey, "a  b");
}

TEST_F(CaptureMenu, CommasNeedQuotesAndTheLastItemWins) {
  Files("C:\\cam.exe -a,-b", "x");
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.set.CaptureProgPath, "-b");

  Files("\"C:\\cam.exe -a,-b\"", "x");
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.set.CaptureProgPath, "C:\\cam.exe -a,-b");

  Files("old.exe\r\nnew.exe\r\n", "{F1}\n{F2}");
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.set.CaptureProgPath, "new.exe");
  EXPECT_EQ(r.set.Frame.CaptureKey, "{F2}");
}

TEST_F(CaptureMenu, EmptyOrBlankFilesDisableTheLaunch) {
  Files("   ", "k");
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.set.CaptureProgPath, "");
  // The key file's success message is appended to the path file's complaint.
  EXPECT_EQ(r.w.Status(), "File captureprogpath.txt is empty Key <k>");
  EXPECT_FALSE(Enabled(Control::cmdLaunchCapture));

  Files("cam.exe", "");
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.w.Status(), "File capturekey.txt is empty");
  EXPECT_EQ(r.set.Frame.CaptureKey, "");
  EXPECT_FALSE(Enabled(Control::cmdLaunchCapture));
}

TEST_F(CaptureMenu, MissingKeyFileAfterAGoodPathFileAndTheMenuReenabling) {
  r.files.files[kProgFile] = "cam.exe";
  r.set.Frame.CaptureKey = "previous";
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.w.Status(), "File capturekey.txt does not exist");
  EXPECT_EQ(r.set.CaptureProgPath, "cam.exe");
  EXPECT_EQ(r.set.Frame.CaptureKey, "previous");
  EXPECT_FALSE(Enabled(Control::cmdLaunchCapture));

  r.form.Dispatch(Command::mnuCapture);
  EXPECT_TRUE(Enabled(Control::cmdLaunchCapture));
  EXPECT_EQ(Checked(), Items{Control::mnuPath});
}

TEST_F(CaptureMenu, MissingPathFileKeepsThePreviousCommandLine) {
  Files("cam.exe", "k");
  r.form.Dispatch(Command::mnuPath);
  r.files.files.erase(kProgFile);
  r.files.files[kKeyFile] = "j";
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.set.CaptureProgPath, "cam.exe");
  EXPECT_EQ(r.w.Status(), "File captureprogpath.txt does not exist Key <j>");
  EXPECT_FALSE(Enabled(Control::cmdLaunchCapture));
}

TEST_F(CaptureMenu, UnreadableFileIsReportedAndKeepsThePreviousValue) {
  Files("cam.exe", "k");
  r.form.Dispatch(Command::mnuPath);
  r.files.unreadable[kProgFile] = "The file is locked by another process.";
  r.files.unreadable[kKeyFile] = "Access is denied.";
  r.form.Dispatch(Command::mnuPath);
  EXPECT_EQ(r.set.CaptureProgPath, "cam.exe");
  EXPECT_EQ(r.set.Frame.CaptureKey, "k");
  EXPECT_EQ(r.w.statusHistory[r.w.statusHistory.size() - 2],
            "File captureprogpath.txt cannot be read: The file is locked by another process.");
  EXPECT_EQ(r.w.Status(), "File capturekey.txt cannot be read: Access is denied.");
  EXPECT_FALSE(Enabled(Control::cmdLaunchCapture));
}

TEST_F(CaptureMenu, CustomMethodWithoutACommandLineFailsToLaunch) {
  r.form.Dispatch(Command::mnuPath);  // neither file exists
  r.form.Dispatch(Command::mnuCapture);
  ASSERT_TRUE(Enabled(Control::cmdLaunchCapture));
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_TRUE(r.desk.events.empty());
  EXPECT_EQ(r.w.Status(), "Error Launching Capture Program");
  EXPECT_FALSE(Enabled(Control::cmdCapture));
}

TEST_F(CaptureMenu, EventQueuedBeforeTheLaunchRunsFirst) {
  r.form.Dispatch(Command::mnuEOSUtil);
  r.w.onPump = [&](int) { r.form.Dispatch(Command::mnuHWT); };
  r.zs.replies["CON /2&"] = "EZStepper";
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_EQ(r.Sent(), Strings{"CON /2&"});
  EXPECT_TRUE(r.desk.events.empty());
  EXPECT_EQ(r.set.Frame.CaptureTaskId, 1);
}

}  // namespace
}  // namespace focura
