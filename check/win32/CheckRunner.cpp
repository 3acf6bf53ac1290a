#include "CheckRunner.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "win32/ComApartment.h"
#include "win32/Owned.h"

namespace focura::check {
namespace {

// What the workers and the watching thread share; held by every worker, so that a worker left
// stuck finds it still there when (if ever) it comes back.
struct Board {
  std::mutex m;
  unsigned generation = 0;  // a worker whose generation has passed writes nothing more
  size_t current = 0;
  bool started = false;
  ULONGLONG startedAt = 0;
  std::string waitingFor;
  std::vector<std::optional<CheckRow>> rows;
  bool finished = false;
  win32::UniqueHandle changed{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

void StartWorker(const std::shared_ptr<Board>& board, unsigned generation, size_t from,
                 CheckSetting setting,
                 std::function<std::vector<Check>(const CheckSetting&)> makeTable) {
  std::thread([board, generation, from, setting, makeTable]() mutable {
    win32::ComApartment com;
    setting.waiting = [board, generation](const std::string& what) {
      const std::lock_guard lock(board->m);
      if (board->generation == generation)
        board->waitingFor = what;
    };
    // Kept when the worker is abandoned: its simulator and registration stay as they are, and
    // the run's end removes the registration by its marks.
    auto table = std::make_unique<std::vector<Check>>(makeTable(setting));
    for (size_t i = from; i < table->size(); ++i) {
      {
        const std::lock_guard lock(board->m);
        if (board->generation != generation) {
          table.release();
          return;
        }
        board->current = i;
        board->started = true;
        board->startedAt = GetTickCount64();
        board->waitingFor.clear();
      }
      SetEvent(board->changed.get());
      CheckRow row = RunOne((*table)[i]);
      {
        const std::lock_guard lock(board->m);
        if (board->generation != generation) {
          table.release();
          return;
        }
        board->rows[i] = std::move(row);
      }
      SetEvent(board->changed.get());
    }
    table.reset();  // the simulator released, in the apartment that made it
    {
      const std::lock_guard lock(board->m);
      if (board->generation == generation)
        board->finished = true;
    }
    SetEvent(board->changed.get());
  }).detach();
}

}  // namespace

std::vector<CheckRow> RunWithLimits(
    const CheckSetting& setting,
    const std::function<std::vector<Check>(const CheckSetting&)>& makeTable,
    const RunnerEvents& events, bool& abandoned) {
  abandoned = false;
  std::vector<std::string> names;
  std::vector<unsigned> limits;
  std::vector<bool> usesSimulator;
  for (const Check& c : makeTable(setting)) {
    names.push_back(c.name);
    limits.push_back(c.limitSeconds);
    usesSimulator.push_back(c.usesSimulator);
  }
  auto board = std::make_shared<Board>();
  board->rows.resize(names.size());
  CheckSetting next = setting;
  StartWorker(board, 0, 0, next, makeTable);
  size_t reported = 0;
  for (;;) {
    HANDLE changed = board->changed.get();
    MsgWaitForMultipleObjects(1, &changed, FALSE, 250, QS_ALLINPUT);
    if (events.pump)
      events.pump();
    std::vector<CheckRow> newlyDone;
    std::optional<std::pair<size_t, unsigned>> running;
    bool finished = false;
    {
      const std::lock_guard lock(board->m);
      if (board->started && !board->rows[board->current]) {
        const size_t i = board->current;
        const auto seconds = static_cast<unsigned>((GetTickCount64() - board->startedAt) / 1000);
        if (seconds >= limits[i]) {
          board->rows[i] = CheckRow{names[i], Overran(limits[i], board->waitingFor)};
          ++board->generation;
          abandoned = true;
          board->started = false;
          if (usesSimulator[i])
            next.simulatorLost = "\"" + names[i] + "\" overran its time limit";
          if (i + 1 < names.size())
            StartWorker(board, board->generation, i + 1, next, makeTable);
          else
            board->finished = true;
        } else {
          running.emplace(i, seconds);
        }
      }
      while (reported < names.size() && board->rows[reported])
        newlyDone.push_back(*board->rows[reported++]);
      finished = board->finished && reported == names.size();
    }
    for (const CheckRow& row : newlyDone) {
      if (events.done)
        events.done(row);
    }
    if (finished)
      break;
    if (running && events.running)
      events.running(running->first, running->second, limits[running->first]);
  }
  std::vector<CheckRow> rows;
  for (auto& row : board->rows)
    rows.push_back(*row);
  return rows;
}

void StartWatchdog(unsigned seconds, std::function<void()> onExpiry) {
  std::thread([seconds, onExpiry = std::move(onExpiry)] {
    Sleep(seconds * 1000);
    onExpiry();
  }).detach();
}

}  // namespace focura::check
