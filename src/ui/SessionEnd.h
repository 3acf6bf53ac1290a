#pragma once
// The end of the operator's session (log-off, shutdown, restart) as the tool takes part in it.
// The system asks and announces the end with messages sent from another process, and while the
// tool handles one of them an outgoing call to an out-of-process server is refused. So the
// farewell to the Z server is never said inside those messages: the tool holds the end off, puts
// its close into its own message queue, says "Unload" from there and then lets the session end.

#include <cstdint>
#include <string>

namespace focura {

// What Windows shows beside the tool while it holds the end of the session.
inline constexpr const char* kSessionEndHoldReason = "Unloading the Z server";

// The shell's part of the session end.
class SessionEndPort {
 public:
  virtual ~SessionEndPort() = default;
  // Asks the system to hold the end of the session, showing `reason` to the user.
  virtual void HoldEnd(const std::string& reason) = 0;
  // The session may end again.
  virtual void ReleaseEnd() = 0;
  // Queues a close for the window's own message loop, where the farewell may call out.
  virtual void PostClose() = 0;
  // Answers the system's message now: what follows runs outside it.
  virtual void AnswerNow() = 0;
  // Closes the window from where the shell stands (held back while a modal wait runs).
  virtual void CloseNow() = 0;
  // What a run in progress tells the user while it holds the end ("A Z stack is running, at
  // plane 12 of 300"); "" when no run is in progress.
  virtual std::string RunInProgress() = 0;
};

class SessionEnd {
 public:
  explicit SessionEnd(SessionEndPort& port) : port_(port) {}

  // The system asks whether the session may end; returns the answer. `forced`: it ends whatever
  // the tool answers. Until the farewell has been said the answer is no (unless forced) and a
  // close is on its way; during a run the answer is no with the run as the reason, and nothing
  // is closed, since another program or the user may still call the end off.
  bool Query(bool forced);
  // The system says whether the session ends. When it ends before the farewell (the user
  // overruled the hold, or nobody asked), the message is answered first and the window closed
  // after the answer, a run included. An end called off lets a run go on.
  void Ended(bool ending);
  // The window was closed and "Unload" said (or tried): the session need not wait for the tool.
  void FarewellSaid();

  bool Holding() const { return holding_; }

 private:
  SessionEndPort& port_;
  bool said_ = false;
  bool posted_ = false;
  bool holding_ = false;
};

// The reason a run gives while it holds the end of the session.
std::string RunningHoldReason(int32_t plane, int32_t planes);

}  // namespace focura
