#pragma once
// The fixture every end-to-end test starts from: its own folder, the simulator registered as the
// Z server, and the operator's usual moves as small helpers.

#include "Config.h"
#include "Desktop.h"
#include "ToolSession.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace focura::e2e {

class E2ETest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the tool against the registered simulator.
  void StartTool();

  // Types a command into the tool's own command line, presses "Execute" and waits until the
  // simulator has answered it and the reply is in the status line. Returns the reply.
  std::string Execute(const std::string& command);
  // Moves the axis with a raw command and marks the position as top or bottom.
  void MoveTo(double z);
  void SetTopAt(double z);
  void SetBottomAt(double z);
  void MarkEnd(const std::string& button, const std::string& label, double z);
  // Types the count and presses "Set Num. of Planes"; waits for the derived step to show.
  void SetPlanes(int n, const std::string& expectedStep);
  void SetTimings(const std::string& capture, const std::string& settle, const std::string& period);

  // The custom capture method with the stand-in as its program: copies the stand-in into a
  // sub-folder whose name has a blank, writes the two files, chooses "From captureprogpath.txt"
  // and launches it. Returns the stand-in's key log.
  StandInLog LaunchStandIn(const std::string& key = "{SPACE}");
  // The same with a copy of the stand-in at `exe` and arguments for it (then `exe` must hold no
  // blank). Returns the key log beside that copy.
  StandInLog LaunchCopy(const std::string& exe, const std::string& args,
                        const std::string& key = "{SPACE}");

  // Presses "Acquire Z Stack" and waits for the final status ("Z-stack finished" and friends).
  std::string RunStack(unsigned ms = 60000);

  // The record from command `from` on (0-based), commands only.
  std::vector<std::string> CommandsFrom(size_t from) const;

  std::unique_ptr<ToolSession> tool;
  // The decimal separator of the regional settings the tool runs under.
  std::string sep = ".";
};

// Milliseconds from `earlier` to `later` on the wrapping 32-bit counter; negative when `later`
// is in fact earlier.
inline int32_t Elapsed(uint32_t earlier, uint32_t later) {
  return static_cast<int32_t>(later - earlier);
}

// Numbers with four and two decimals as the tool and the simulator write them, with the given
// decimal separator.
std::string F4(double value, const std::string& separator = ".");
std::string F2(double value, const std::string& separator = ".");

}  // namespace focura::e2e
