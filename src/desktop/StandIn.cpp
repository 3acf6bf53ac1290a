#include "desktop/StandIn.h"

#include "desktop/FileText.h"
#include "desktop/Wait.h"

namespace focura::desktop {

std::string StandInCommandLine(const std::string& exe, const std::string& title,
                               const std::string& logPath, bool holdFocus) {
  return "\"" + exe + "\" --title \"" + title + "\" --log \"" + logPath + "\"" +
         (holdFocus ? " --hold-focus" : "");
}

std::vector<TargetEvent> StandInLog::Events() const {
  return ParseTargetLog(ReadFileText(path_));
}

bool StandInLog::WaitStarted(unsigned ms) const {
  return WaitUntil(
      [&] {
        for (const auto& e : Events()) {
          if (e.kind == TargetEventKind::Start)
            return true;
        }
        return false;
      },
      ms);
}

bool StandInLog::WaitKeys(size_t n, unsigned ms) const {
  return WaitUntil([&] { return Keys().size() >= n; }, ms);
}

}  // namespace focura::desktop
