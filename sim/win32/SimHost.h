#pragma once
// The simulator as a Windows process hosts it: the real millisecond counter, one lock around the
// core, and a lock released while "Z Wait" sleeps, so that the window, the joystick buttons and
// other clients keep going during a move.

#include <filesystem>
#include <functional>
#include <mutex>
#include <string>

#include "sim/core/SimClock.h"
#include "sim/core/Simulator.h"

namespace zsim::win32 {

class SimHost {
 public:
  explicit SimHost(const std::string& decimalSeparator);
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  // Any thread. Throws SimError as the core does.
  std::string Exec(const std::string& command);
  SimSnapshot Snapshot();
  void SetVisible(bool visible);
  // Throws SimError when the file cannot be opened.
  void OpenLog(const std::filesystem::path& path);
  std::string Format4(double value);

  // Called after every command, on the thread that sent it, without the lock held.
  void SetObserver(std::function<void()> observer);

 private:
  class RealClock : public SimClock {
   public:
    explicit RealClock(std::mutex& held) : held_(held) {}
    uint32_t NowMs() override;
    void Sleep(uint32_t ms) override;

   private:
    std::mutex& held_;
  };

  void Notify();

  std::mutex mutex_;
  RealClock clock_;
  Simulator sim_;
  std::mutex observerMutex_;
  std::function<void()> observer_;
};

// The log path a simulator should record into when none was given: the ZSIM_LOG environment
// variable, or empty.
std::filesystem::path LogPathFromEnvironment();

}  // namespace zsim::win32
