#include "app/Tool.h"

#include "sim/win32/BuiltInZServer.h"
#include "sim/win32/server/SimClass.h"
#include "ui/Controls.h"
#include "win32/ComApartment.h"
#include "win32/ComZServer.h"
#include "win32/RegionalSettings.h"
#include "win32/Utf.h"
#include "win32/ZServerStartup.h"

namespace focura::app {

class Tool::Events : public win32::WindowEvents {
 public:
  explicit Events(FormController& form) : form_(form) {}
  void Dispatch(Command command) override { form_.Dispatch(command); }
  void Close() override { form_.Close(); }
  bool Closed() const override { return form_.Closed(); }
  bool Busy() const override { return form_.Busy(); }
  std::string Tip(Control control) override { return form_.Tip(control); }
  std::string RunInProgress() const override { return form_.RunInProgress(); }

 private:
  FormController& form_;
};

namespace {

FormPorts PortsOf(RunProgress& progress, StayAwake& awake, zsim::win32::SimHost* const& builtIn) {
  FormPorts ports;
  ports.progress = &progress;
  ports.awake = &awake;
  ports.simulatorSpeed = [&builtIn] {
    return builtIn != nullptr ? builtIn->Snapshot().speed : 0.0;
  };
  ports.standInNote = SimulatorStandInNote(win32::ReadProgIdClasses(kZServerProgId),
                                           win32::Narrow(zsim::win32::kSimClsidText));
  return ports;
}

}  // namespace

Tool::Tool()
    : num_(win32::RegionalDecimalSeparator()),
      taskbar_(window_.Handle()),
      prompt_(window_.Handle()),
      form_(window_, prompt_, clock_, desktop_, files_, num_, PortsOf(taskbar_, awake_, builtIn_)),
      events_(std::make_unique<Events>(form_)) {
  window_.Attach(events_.get());
}

Tool::~Tool() = default;

void Tool::Load() {
  form_.Load(
      [this] {
        return win32::CreateZServerOrExplain(
            window_.Handle(), [this]() -> std::unique_ptr<ZServer> {
              auto sim = std::make_unique<zsim::win32::BuiltInZServer>();
              builtIn_ = &sim->Host();
              return sim;
            });
      },
      []() -> std::unique_ptr<ZServer> {
        return std::make_unique<win32::ComZServer>(kZServerProgId);
      });
}

int RunTool(int showCommand) {
  win32::ComApartment com;
  Tool tool;
  tool.Load();
  if (!tool.Window().CloseRequested())
    tool.Window().Show(showCommand);
  return tool.Window().RunMessageLoop();
}

}  // namespace focura::app
