#include "ui/CaptureControls.h"

#include "capture/ConfigItems.h"
#include "capture/PlatformError.h"
#include "capture/ProgramPath.h"
#include "text/Blanks.h"
#include "text/Errors.h"
#include "text/NumberText.h"
#include "text/VisibleText.h"
#include "zserver/Commands.h"

namespace focura {

namespace {

constexpr Control kLaunchButton = Control::cmdLaunchCapture;
const std::string kLaunchFailed = "Error Launching Capture Program";
const std::string kNoController = "EZStepper does not respond";

}  // namespace

void CaptureControls::SyncCaptureMenu() {
  if (FindCaptureMethod(acq_.Settings.Frame.CaptureType) == nullptr)
    return;
  for (const MethodItem& m : kMethodItems) {
    window_.SetChecked(ControlOf(m.item), m.code == acq_.Settings.Frame.CaptureType);
  }
  window_.SetEnabled(kLaunchButton, true);
}

int32_t CaptureControls::LaunchCapture() {
  window_.SetText(kStatusLine, "");
  window_.Pump();

  const CaptureMethod* method = FindCaptureMethod(acq_.Settings.Frame.CaptureType);
  if (method == nullptr)
    return acq_.Settings.Frame.CaptureTaskId;
  try {
    if (method->code == kCaptureHardware) {
      const std::string reply = zserver_.Exec(zcmd::kProbeController);
      if (reply.find(zcmd::kControllerMark) != std::string::npos) {
        acq_.Settings.Frame.CaptureTaskId = 1;
        window_.SetText(kStatusLine, reply);
      } else {
        acq_.Settings.Frame.CaptureTaskId = 0;
        window_.SetText(kStatusLine, kNoController);
        window_.SetTip(kStatusLine, "Hardware Trigger: the reply to \"" + zcmd::kProbeController +
                                        "\" was \"" + VisibleText(reply) + "\", without \"" +
                                        zcmd::kControllerMark + "\"");
      }
    } else if (method->code == kCaptureFromFile) {
      // An empty command line starts nothing; the platform would not report it the same way
      // everywhere, so it is refused here.
      if (TrimBlanks(acq_.Settings.CaptureProgPath).empty()) {
        throw PlatformError("no command line");
      }
      acq_.Settings.Frame.CaptureTaskId =
          desktop_.StartProgram(CommandLineToStart(acq_.Settings.CaptureProgPath, files_));
    } else {
      acq_.Settings.Frame.CaptureTaskId = desktop_.StartProgram(
          QuoteProgramPath(InstalledProgramPath(method->programPath, files_)));
    }
  } catch (const FocuraError& e) {
    window_.SetText(kStatusLine, kLaunchFailed);
    window_.SetTip(kStatusLine, std::string(method->caption) + ": " + e.what());
    return 0;
  }
  if (acq_.Settings.Frame.CaptureTaskId > 0) {
    acq_.Settings.LaunchedType = method->code;
    if (const std::string why = KeylessReason(acq_.Settings.Frame); !why.empty()) {
      window_.SetText(kStatusLine, std::string(method->caption) +
                                       " started; the run will send it no key: " + why);
    }
  }
  return acq_.Settings.Frame.CaptureTaskId;
}

void CaptureControls::cmdLaunchCapture_Click() {
  const bool ready = LaunchCapture() > 0;
  window_.SetEnabled(Control::cmdCapture, ready);
  window_.SetEnabled(Control::cmdFocura, ready);
}

bool CaptureControls::MethodItem_Click(Command item) {
  const MethodItem* chosen = nullptr;
  for (const MethodItem& m : kMethodItems) {
    if (m.item == item)
      chosen = &m;
  }
  const CaptureMethod* method = chosen != nullptr ? FindCaptureMethod(chosen->code) : nullptr;
  if (method == nullptr)
    return false;
  acq_.Settings.Frame.CaptureType = method->code;
  SyncCaptureMenu();
  if (method->code == kCaptureFromFile) {
    LoadCaptureProgPath();
    LoadCaptureKey();
  }
  return true;
}

std::optional<std::string> CaptureControls::ReadConfigFile(std::string_view name) {
  const std::string fileName(name);
  const std::string path = files_.ExeDirectory() + "\\" + fileName;
  std::optional<std::string> failure;
  std::string text;
  if (!files_.VisibleFileExists(path)) {
    failure = "File " + fileName + " does not exist";
  } else {
    try {
      text = files_.ReadAll(path);
    } catch (const PlatformError& e) {
      failure = "File " + fileName + " cannot be read: " + e.what();
    }
  }
  if (failure) {
    window_.SetText(kStatusLine, *failure);
    window_.SetEnabled(kLaunchButton, false);
    return std::nullopt;
  }
  return std::string(TrimBlanks(LastConfigItem(text)));
}

void CaptureControls::LoadCaptureProgPath() {
  const std::optional<std::string> item = ReadConfigFile(kProgPathFile);
  if (!item)
    return;
  acq_.Settings.CaptureProgPath = *item;
  if (acq_.Settings.CaptureProgPath.empty()) {
    window_.SetText(kStatusLine, "File " + std::string(kProgPathFile) + " is empty");
    window_.SetEnabled(kLaunchButton, false);
    return;
  }
  window_.SetText(kStatusLine, acq_.Settings.CaptureProgPath);
}

void CaptureControls::LoadCaptureKey() {
  const std::optional<std::string> item = ReadConfigFile(kCaptureKeyFile);
  if (!item)
    return;
  // A key of one blank can only be written this way: blanks around an item are removed.
  static constexpr std::string_view kSpaceName = "{SPACE}";
  std::string key = *item;
  for (size_t at = key.find(kSpaceName); at != std::string::npos;
       at = key.find(kSpaceName, at + 1)) {
    key.replace(at, kSpaceName.size(), " ");
  }
  acq_.Settings.Frame.CaptureKey = key;
  if (acq_.Settings.Frame.CaptureKey.empty()) {
    window_.SetText(kStatusLine, "File " + std::string(kCaptureKeyFile) + " is empty");
    window_.SetEnabled(kLaunchButton, false);
    return;
  }
  window_.SetText(kStatusLine, window_.GetText(kStatusLine) + " Key <" + VisibleText(key) + ">");
}

}  // namespace focura
