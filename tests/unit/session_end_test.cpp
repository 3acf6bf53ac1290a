// The end of the session in the order Windows sends it, against a Z server that refuses every call
// made while a message sent by the system is being handled (as COM does on a real PC).

#include "ui/SessionEnd.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "form_rig.h"
#include "text/Errors.h"
#include "zserver/ZServerErrors.h"

namespace focura {
namespace {

using Strings = std::vector<std::string>;

// The shell around the session end: the system's message being handled, the window's queue, and
// a close that says "Unload" as the window does.
struct SessionRig : SessionEndPort {
  SessionRig() {
    form.LoadAndForget();
    form.zs.onExec = [this](const std::string& command) -> std::optional<std::string> {
      if (inside) {
        log.push_back("refused " + command);
        throw ZServerError(command,
                           "an outgoing call cannot be made inside an input-synchronous call");
      }
      log.push_back(command);
      return std::nullopt;
    };
  }

  void HoldEnd(const std::string& reason) override { log.push_back("hold: " + reason); }
  void ReleaseEnd() override { log.push_back("release"); }
  void PostClose() override { ++queued; }
  void AnswerNow() override {
    inside = false;
    log.push_back("answer");
  }
  void CloseNow() override { Close(); }
  std::string RunInProgress() override { return closed ? "" : running; }

  void Close() {
    if (closed)
      return;
    closed = true;
    form.form.Close();
    session.FarewellSaid();
  }
  // One step: a message from the system (handled inside it), the window's loop running what was
  // queued, or the operator closing the window.
  void Step(const std::string& step) {
    if (step == "run") {
      running = RunningHoldReason(3, 10);
    } else if (step == "loop") {
      for (; queued > 0; --queued)
        Close();
    } else if (step == "close") {
      Close();
    } else if (step == "query" || step == "forced") {
      inside = true;
      answers.push_back(session.Query(step == "forced"));
      inside = false;
    } else if (step == "end" || step == "cancel") {
      inside = true;
      session.Ended(step == "end");
      inside = false;
    } else {
      ADD_FAILURE() << "no step " << step;
    }
  }

  testing::FormRig form;
  SessionEnd session{*this};
  bool inside = false;
  bool closed = false;
  std::string running;  // the run in progress, "" for none
  int queued = 0;
  Strings log;
  std::vector<bool> answers;
};

TEST(SessionEnd, UnloadIsSaidOnceAndNeverInsideTheSystemsMessage) {
  const std::string hold = std::string("hold: ") + kSessionEndHoldReason;
  const std::string run = "hold: A Z stack is running, at plane 3 of 10";
  struct Case {
    const char* steps;  // in the order they come, one word each
    std::vector<bool> answers;
    Strings log;
  };
  const Case cases[] = {
      // Asked: the end waits for the loop's farewell, then may go.
      {"query loop query end", {false, true}, {hold, "Unload", "release"}},
      // Asked twice before the loop ran: one hold, one close.
      {"query query loop end", {false, false}, {hold, "Unload", "release"}},
      // A forced end is not held; the queued close still comes first.
      {"forced loop end", {true}, {"Unload"}},
      // A forced end that comes before the loop: answered first, then the farewell.
      {"forced end loop", {true}, {"answer", "Unload"}},
      // The end announced without a question.
      {"end loop", {}, {"answer", "Unload"}},
      // The hold overruled before the loop ran.
      {"query end loop", {false}, {hold, "answer", "Unload", "release"}},
      // An end called off: the close that was asked for still comes.
      {"query cancel loop", {false}, {hold, "Unload", "release"}},
      // Closed before: nothing to hold, nothing more to say.
      {"close query end loop", {true}, {"Unload"}},
      // During a run the end is held with the run's plane, and nothing closes before the system
      // says the session ends: an end called off lets the run go on.
      {"run query cancel loop", {false}, {run, "release"}},
      {"run query query cancel", {false, false}, {run, run, "release"}},
      {"run query end", {false}, {run, "answer", "Unload", "release"}},
      // A forced end cannot be refused: the close is queued at once, as without a run.
      {"run forced loop end", {true}, {"Unload"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    SessionRig r;
    std::istringstream steps(c.steps);
    for (std::string step; steps >> step;)
      r.Step(step);
    EXPECT_EQ(r.answers, c.answers);
    EXPECT_EQ(r.log, c.log);
    EXPECT_FALSE(r.session.Holding());
    EXPECT_EQ(r.form.released, r.closed);
  }
}

}  // namespace
}  // namespace focura
