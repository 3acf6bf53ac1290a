#pragma once
// One ZAcq wired to the recording fakes, for the plan, run and trigger tests.

#include "acq/ZAcq.h"
#include "capture/CaptureMethods.h"
#include "fakes/Fakes.h"
#include "text/NumberText.h"
#include "ui/WindowRunView.h"

namespace focura::testing {

struct AcqRig {
  explicit AcqRig(std::string decimalSeparator = ".") : num(std::move(decimalSeparator)) {
    acq.LoadDefaults();
    acq.ReportProgressTo(ports);
    acq.KeepAwakeWith(ports);
  }
  fakes::FakeZServer z;
  fakes::FakeWindow w;
  fakes::FakeClock clock;
  fakes::FakeDesktop desk;
  NumberText num;
  fakes::FakeRunPorts ports;
  WindowRunView view{w};
  ZAcq acq{z, view, clock, desk, num};
};

}  // namespace focura::testing
