#pragma once
// One operator session with the tool: a fresh folder holding a copy of focura.exe (its
// configuration files live beside it) and of zsim.exe, the simulator registered under the Z
// server's ProgID with its recorder writing into the folder, and the tool started as a process of
// its own. Buttons and menu items are pressed with posted messages, as a click would arrive;
// texts are read and written with WM_GETTEXT / WM_SETTEXT.

#include "Desktop.h"
#include "RecorderLog.h"

#include <functional>
#include <string>
#include <vector>

namespace focura::e2e {

inline constexpr const char* kToolCaption = "Focura Acquisition";
// Generous: Wine starts a program in about a second and the simulator's server in about another,
// but a machine busy with other builds has been seen to stall a start for half a minute.
inline constexpr unsigned kStartMs = 60000;
inline constexpr unsigned kStepMs = 30000;

class ToolSession {
 public:
  // Creates (or empties) the folder <work root>\<name> and copies the two programs into it.
  explicit ToolSession(const std::string& name);
  ~ToolSession();
  ToolSession(const ToolSession&) = delete;
  ToolSession& operator=(const ToolSession&) = delete;

  const std::string& Dir() const { return dir_; }
  std::string PathOf(const std::string& fileName) const { return dir_ + "\\" + fileName; }
  void WriteFile(const std::string& fileName, const std::string& bytes) const;

  // The simulator's copy in this folder becomes the Z server, recording into RecordPath().
  void RegisterZServer();
  // No Z server at all: the ProgID is removed from the per-user registration.
  void UnregisterZServer();
  std::string RecordPath() const { return PathOf("zserver-record.log"); }

  // Starts the tool and waits for its window. Throws when it does not appear.
  void Start();
  // Starts the tool without waiting for its main window (a start-up message box may come first).
  void StartProcess();
  // Waits for the main window; true when it appeared.
  bool WaitMainWindow(unsigned ms);
  Process& Tool() { return tool_; }
  // The tool's process and windows, for a failure message.
  std::string Describe() const;
  HWND Main() const { return main_; }

  HWND Control(const std::string& name) const;
  // Presses a button as a click does (BM_CLICK, posted): a disabled button ignores it.
  void Click(const std::string& button) const;
  // Chooses a menu item (WM_COMMAND with its command id, posted).
  void Menu(const std::string& item) const;
  // Opens the "Image Capture" menu as far as the tool's handler is concerned.
  void OpenCaptureMenu() const;
  void Type(const std::string& textBox, const std::string& text) const;
  std::string Text(const std::string& control) const;
  std::string Status() const { return Text("lblMsg"); }
  bool Enabled(const std::string& control) const;
  bool Checked(const std::string& menuItem) const;
  // The tooltip text of a control, the live tip of "Acquire Z Stack" included.
  std::string Tip(const std::string& control) const;

  // Waits until the status line satisfies `condition`; returns the last text read.
  std::string WaitStatus(const std::function<bool(const std::string&)>& condition,
                         unsigned ms = kStepMs) const;
  std::string WaitStatusIs(const std::string& expected, unsigned ms = kStepMs) const;
  // Waits until the record holds at least `n` commands; returns the record.
  std::vector<RecordedCommand> WaitRecord(size_t n, unsigned ms = kStepMs) const;
  std::vector<RecordedCommand> Record() const;

  // Finds the prompt by its title in the tool's process, fills its edit and presses OK, or
  // presses Cancel (answer nullptr). Returns the prompt's default text.
  std::string AnswerPrompt(const std::string& title, const char* answer) const;

  // Closes the window as the operator does (WM_CLOSE) and waits for the process to end.
  // Returns its exit code.
  unsigned long CloseAndWait(unsigned ms = kStepMs);

 private:
  std::string dir_;
  std::string toolExe_;
  std::string zsimExe_;
  bool registered_ = false;
  Process tool_;
  HWND main_ = nullptr;
};

}  // namespace focura::e2e
