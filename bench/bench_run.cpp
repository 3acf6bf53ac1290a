// Cost of the run's own work per plane: the axis, the clock and the window answer at once, the
// delays are 0 (one counter advance each), so what remains is the loop, the command and log texts
// and the waits' polling.

#include <benchmark/benchmark.h>

#include <string>

#include "acq/ZAcq.h"
#include "capture/CaptureMethods.h"
#include "fakes/Fakes.h"
#include "text/NumberText.h"
#include "ui/PlanView.h"
#include "ui/WindowRunView.h"

namespace focura {
namespace {

constexpr int32_t kPlanes = 32767;

class InstantZServer : public ZServer {
 public:
  std::string Exec(const std::string& command) override {
    ++calls;
    return command == "Z ?" ? reply : std::string();
  }
  std::string reply = "1234.5678";
  long calls = 0;
};

class QuietWindow : public Window {
 public:
  std::string GetText(Control control) override {
    return control == Control::txtPeriod ? period : "0";
  }
  void SetText(Control, const std::string& text) override { last = text; }
  void SetEnabled(Control, bool) override {}
  void SetChecked(Control, bool) override {}
  void SetTip(Control, const std::string&) override {}
  void Pump() override {}
  std::string period = "0";
  std::string last;
};

void PlanStack(ZAcq& acq) {
  acq.Settings.ZTop = 0;
  acq.Settings.ZBottom = 32766 * 0.5;
  acq.Settings.StepSize = 0.5;
  acq.Settings.NumPlanes = kPlanes;
}

void Report(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kPlanes);
  state.counters["ns_per_plane"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kPlanes,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The run against the instant fakes, repeated; a run that did not finish spoils the figure.
struct InstantRig {
  InstantZServer z;
  QuietWindow w;
  fakes::FakeClock clock;
  fakes::FakeDesktop desk;
  NumberText num;
  WindowRunView view{w};
  ZAcq acq{z, view, clock, desk, num};

  InstantRig() {
    acq.LoadDefaults();
    PlanStack(acq);
  }
  void Run(benchmark::State& state) {
    for (auto _ : state) {
      benchmark::DoNotOptimize(AcquireStack(acq, w));
    }
    if (w.last != "Z-stack finished")
      state.SkipWithError(w.last.c_str());
    Report(state);
  }
};

void BM_AcquireStack_NoCapture(benchmark::State& state) {
  InstantRig rig;
  rig.Run(state);
}
BENCHMARK(BM_AcquireStack_NoCapture)->Unit(benchmark::kMillisecond);

void BM_AcquireStack_HardwareTriggerAndPeriod(benchmark::State& state) {
  InstantRig rig;
  rig.w.period = "0.05";  // the period wait polls too
  rig.acq.Settings.Frame.CaptureType = kCaptureHardware;
  rig.acq.Settings.Frame.CaptureTaskId = 1;
  rig.acq.Settings.Frame.TriggerHoldMs = 0;
  rig.Run(state);
}
BENCHMARK(BM_AcquireStack_HardwareTriggerAndPeriod)->Unit(benchmark::kMillisecond);

// The same run against the recording test fakes, for comparison.
void BM_AcquireStack_RecordingFakes(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    fakes::FakeZServer z;
    z.replies["Z ?"] = "1234.5678";
    fakes::FakeWindow w;
    w.texts = {{Control::txtDelay, "0"}, {Control::txtSettle, "0"}, {Control::txtPeriod, "0"}};
    fakes::FakeClock clock;
    fakes::FakeDesktop desk;
    NumberText num;
    WindowRunView view(w);
    ZAcq acq(z, view, clock, desk, num);
    acq.LoadDefaults();
    PlanStack(acq);
    state.ResumeTiming();
    benchmark::DoNotOptimize(AcquireStack(acq, w));
  }
  Report(state);
}
BENCHMARK(BM_AcquireStack_RecordingFakes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace focura
