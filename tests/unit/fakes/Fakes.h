#pragma once
// Small recording fakes of the core's ports, answering from a script.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "acq/RunProgress.h"
#include "acq/StayAwake.h"
#include "capture/Desktop.h"
#include "capture/Files.h"
#include "capture/KeyDelivery.h"
#include "capture/PlatformError.h"
#include "text/Errors.h"
#include "ui/Prompt.h"
#include "ui/Window.h"
#include "wait/Clock.h"
#include "zserver/ZServer.h"
#include "zserver/ZServerErrors.h"

namespace focura {

// Controls by their names in the messages of failed expectations.
inline void PrintTo(Control control, std::ostream* out) {
  *out << ControlName(control);
}

}  // namespace focura

namespace focura::fakes {

// Records every command. Answers, in this order of precedence: the hook, a queued reply for that
// command, the standing reply for that command, "".
class FakeZServer : public ZServer {
 public:
  std::string Exec(const std::string& command) override {
    commands.push_back(command);
    if (onExec) {
      if (auto r = onExec(command))
        return *r;
    }
    if (auto it = failures.find(command); it != failures.end()) {
      throw ZServerError(command, it->second);
    }
    if (auto it = queued.find(command); it != queued.end() && !it->second.empty()) {
      std::string r = it->second.front();
      it->second.pop_front();
      return r;
    }
    if (auto it = replies.find(command); it != replies.end())
      return it->second;
    return "";
  }

  std::vector<std::string> commands;
  std::map<std::string, std::string> replies;
  std::map<std::string, std::deque<std::string>> queued;
  std::map<std::string, std::string> failures;
  // Returns a reply to answer with, or nullopt to fall through; may throw.
  std::function<std::optional<std::string>(const std::string&)> onExec;
};

// Advances by `step` milliseconds on every read.
class FakeClock : public Clock {
 public:
  explicit FakeClock(uint32_t start = 1000, uint32_t step = 1) : now(start), step(step) {}
  uint32_t NowMs() override {
    ++reads;
    uint32_t t = now;
    now += step;
    return t;
  }
  uint32_t now;
  uint32_t step;
  long reads = 0;
};

class FakeWindow : public Window {
 public:
  std::string GetText(Control control) override {
    ++reads;
    if (onGetText)
      onGetText(control);
    return texts[control];
  }
  void SetText(Control control, const std::string& text) override {
    texts[control] = text;
    if (control == kStatusLine) {
      statusHistory.push_back(text);
      tips.erase(control);  // as the real status line drops its tip with its text
    }
  }
  void SetTip(Control control, const std::string& text) override { tips[control] = text; }
  void SetEnabled(Control control, bool on) override { enabled[control] = on; }
  void SetChecked(Control item, bool on) override { checked[item] = on; }
  void Pump() override {
    ++pumps;
    if (onPump)
      onPump(pumps);
  }

  std::string Status() { return texts[kStatusLine]; }
  std::string StatusTip() { return tips[kStatusLine]; }

  std::map<Control, std::string> texts;
  std::map<Control, bool> enabled;
  std::map<Control, bool> checked;
  std::map<Control, std::string> tips;
  std::vector<std::string> statusHistory;
  int pumps = 0;
  long reads = 0;
  // Called with the running number of the pump (1, 2, ...).
  std::function<void(int)> onPump;
  std::function<void(Control)> onGetText;
};

// Records every call as one line of text: "start <cmd>", "activate <id>", "keys <n>",
// "clipboard <text>".
class FakeDesktop : public Desktop {
 public:
  int32_t StartProgram(const std::string& commandLine) override {
    events.push_back("start " + commandLine);
    if (failStart)
      throw PlatformError("cannot start " + commandLine);
    foreground = nextTaskId;
    return nextTaskId++;
  }
  TaskActivation ActivateTask(int32_t taskId) override {
    events.push_back("activate " + std::to_string(taskId));
    if (onActivate)
      onActivate(taskId);
    if (failActivate)
      throw PlatformError("no window for task " + std::to_string(taskId));
    if (activation != TaskActivation::Asked)
      return activation;
    if (!refuseFocus)
      foreground = taskId;
    return TaskActivation::Asked;
  }
  bool IsTaskForeground(int32_t taskId) override {
    if (onIsForeground)
      return onIsForeground(taskId);
    return foreground == taskId;
  }
  bool TaskResponding(int32_t taskId) override {
    return onResponding ? onResponding(taskId) : true;
  }
  std::optional<std::string> TaskDialog(int32_t taskId) override {
    if (onDialog)
      return onDialog(taskId);
    return std::nullopt;
  }
  bool WaitTaskTextFocus(int32_t taskId) override {
    events.push_back("text focus " + std::to_string(taskId));
    return textFocus;
  }
  void SendKeys(const KeyStrokes& keys, KeyWaitWatcher& watcher) override {
    events.push_back("keys " + std::to_string(keys.size()));
    if (onKeys)
      onKeys(watcher);
    if (!failKeys.empty())
      throw PlatformError(failKeys);
    if (!keysNotSent.empty())
      throw KeysNotSent(keysNotSent);
    sent.push_back(keys);
    sentTo.push_back(foreground);
  }
  using Desktop::SendKeys;
  bool DesktopLocked() override { return locked; }
  void SetClipboardText(const std::string& text) override {
    events.push_back("clipboard " + text);
    clipboard = text;
  }

  std::vector<std::string> events;
  std::vector<KeyStrokes> sent;
  std::vector<int32_t> sentTo;  // the foreground task when each SendKeys happened
  std::string clipboard;
  int32_t nextTaskId = 4242;
  int32_t foreground = 0;
  bool failStart = false;
  bool failActivate = false;
  bool refuseFocus = false;  // activation "succeeds" but another window keeps the focus
  bool textFocus = true;     // the task's window is ready for text
  TaskActivation activation = TaskActivation::Asked;  // NoWindow, Ended: the task's program
  std::string failKeys;                               // SendKeys throws this reason when set
  std::string keysNotSent;  // SendKeys throws KeysNotSent with this reason when set
  bool locked = false;
  std::function<void(int32_t)> onActivate;
  std::function<void(KeyWaitWatcher&)> onKeys;
  std::function<bool(int32_t)> onIsForeground;
  // Whether the task's program answers now.
  std::function<bool(int32_t)> onResponding;
  // The title of the dialog that disables the task's window now; nullopt for none.
  std::function<std::optional<std::string>(int32_t)> onDialog;
};

class FakeFiles : public Files {
 public:
  std::string ExeDirectory() override { return dir; }
  bool VisibleFileExists(const std::string& path) override { return files.count(path) != 0; }
  std::string ReadAll(const std::string& path) override {
    if (auto it = unreadable.find(path); it != unreadable.end())
      throw PlatformError(it->second);
    return files.at(path);
  }
  std::string ProgramFilesX86() override { return programFilesX86; }
  std::string ProgramFiles() override { return programFiles; }
  bool ProgramExists(const std::string& path) override { return programs.count(path) != 0; }
  std::string dir = "C:\\Focura";
  std::string programFilesX86 = "C:\\Program Files (x86)";
  std::string programFiles = "C:\\Program Files";
  std::set<std::string> programs;                 // program files that exist
  std::map<std::string, std::string> files;       // full path -> content
  std::map<std::string, std::string> unreadable;  // full path -> reason
};

class FakePrompt : public Prompt {
 public:
  std::string Ask(const std::string& title, const std::string& text,
                  const std::string& defaultText) override {
    asked.push_back({title, text, defaultText});
    if (answers.empty())
      return "";
    std::string a = answers.front();
    answers.pop_front();
    return a;
  }
  struct Question {
    std::string title, text, defaultText;
  };
  std::vector<Question> asked;
  std::deque<std::string> answers;  // empty: Cancel
};

// Both ports a run tells, recorded in one list so their order shows: "hold", "hold display",
// "release", "start <n>", "plane <k>/<n>", "keys awaited", "keys taken", "finished", "cancelled",
// "failed".
class FakeRunPorts : public RunProgress, public StayAwake {
 public:
  void Started(int32_t planes) override { calls.push_back("start " + std::to_string(planes)); }
  void AtPlane(int32_t plane, int32_t planes) override {
    calls.push_back("plane " + std::to_string(plane) + "/" + std::to_string(planes));
  }
  void TimeLeft(const std::string& text) override { timeLeft.push_back(text); }
  void Finished() override { calls.push_back("finished"); }
  void Cancelled() override { calls.push_back("cancelled"); }
  void Failed() override { calls.push_back("failed"); }
  void KeysAwaited(bool awaited) override {
    calls.push_back(awaited ? "keys awaited" : "keys taken");
  }
  void Hold(bool displayToo) override {
    calls.push_back(displayToo ? "hold display" : "hold");
    held = true;
  }
  void Release() override {
    calls.push_back("release");
    held = false;
  }

  std::vector<std::string> calls;
  std::vector<std::string> timeLeft;  // apart from `calls`: what the taskbar's tooltip shows
  bool held = false;
};

}  // namespace focura::fakes
