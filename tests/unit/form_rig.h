#pragma once
// A loaded form over the fakes: the window, prompt, clock, desktop and files of the tests, and a
// Z server whose release the tests can see.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/Fakes.h"
#include "text/NumberText.h"
#include "ui/FormController.h"

namespace focura::testing {

// Forwards to a fake that outlives the form, and notes when the form releases it.
class ReleasableZServer : public ZServer {
 public:
  ReleasableZServer(fakes::FakeZServer& real, bool& released) : real_(real), released_(released) {}
  ~ReleasableZServer() override { released_ = true; }
  std::string Exec(const std::string& command) override { return real_.Exec(command); }

 private:
  fakes::FakeZServer& real_;
  bool& released_;
};

struct FormRig {
  explicit FormRig(const std::string& decimalSeparator = ".") : num(decimalSeparator) {}

  // Loads the form and forgets what the load did, so a test sees only its own doings.
  void LoadAndForget() {
    Load();
    zs.commands.clear();
    w.statusHistory.clear();
    w.enabled.clear();
  }
  void Load() {
    form.Load([this] { return std::make_unique<ReleasableZServer>(zs, released); });
  }
  std::vector<std::string> Sent() const { return zs.commands; }

  fakes::FakeZServer zs;
  bool released = false;
  fakes::FakeWindow w;
  fakes::FakePrompt prompt;
  fakes::FakeClock clock;
  fakes::FakeDesktop desk;
  fakes::FakeFiles files;
  NumberText num;
  FormController form{w, prompt, clock, desk, files, num};
  ZAcq& acq = form.Acq();
  // What the tests set up and look at: the form's settings and run.
  AcqSettings& set = acq.Settings;
  StackRun& run = acq.Run;
};

}  // namespace focura::testing
