#include "capture/CaptureMethods.h"

#include <array>

#include "capture/ConfigItems.h"
#include "capture/ProgramPath.h"
#include "text/Errors.h"
#include "text/VisibleText.h"
#include "ui/Window.h"
#include "zserver/Commands.h"

namespace focura {

namespace {

using R = CaptureKeyRule;
constexpr std::array kMethods{
    CaptureMethod{1, "mnuEOSUtil", "Canon EOS Utility",
                  "C:\\Program Files\\Canon\\EOS Utility\\EOS Utility.exe", R::Fixed, " "},
    CaptureMethod{2, "mnuCanonRemote", "Canon Remote Capture",
                  "C:\\Program Files\\Canon\\RemoteCapture\\RemoteCapture.exe", R::Fixed, " "},
    CaptureMethod{3, "mnuBreeze", "DSLR Remote Pro",
                  "C:\\Program Files\\BreezeSys\\DSLR Remote Pro\\DSlrRemote.exe", R::Fixed,
                  "{F8}"},
    CaptureMethod{4, "mnuFujiSU", "Fuji StudioUtility",
                  "C:\\Program Files\\HyperUtility\\StudioUtility.exe", R::ByFujiKey, ""},
    CaptureMethod{kCaptureFromFile, "mnuPath", "From captureprogpath.txt", "", R::CaptureKey, ""},
    CaptureMethod{kCaptureHardware, "mnuHWT", "Hardware Trigger", "", R::None, ""},
};

const std::string kLaunchButton = "cmdLaunchCapture";
const std::string kLaunchFailed = "Error Launching Capture Program";
const std::string kNoController = "EZStepper does not respond";

}  // namespace

std::span<const CaptureMethod> CaptureMethods() {
  return kMethods;
}

const CaptureMethod* FindCaptureMethod(int16_t code) {
  for (const auto& m : kMethods) {
    if (m.code == code)
      return &m;
  }
  return nullptr;
}

const CaptureMethod* FindCaptureMethod(std::string_view menuItem) {
  for (const auto& m : kMethods) {
    if (m.menuItem == menuItem)
      return &m;
  }
  return nullptr;
}

std::string QuoteProgramPath(std::string_view path) {
  return "\"" + std::string(path) + "\"";
}

void CaptureControls::SyncCaptureMenu() {
  if (FindCaptureMethod(acq_.CaptureType) == nullptr)
    return;
  for (const auto& m : kMethods) {
    acq_.Win.SetChecked(std::string(m.menuItem), m.code == acq_.CaptureType);
  }
  acq_.Win.SetEnabled(kLaunchButton, true);
}

int32_t CaptureControls::LaunchCapture() {
  acq_.Win.SetText(kStatusLine, "");
  acq_.Win.Pump();

  const CaptureMethod* method = FindCaptureMethod(acq_.CaptureType);
  if (method == nullptr)
    return acq_.CaptureTaskId;
  try {
    if (method->code == kCaptureHardware) {
      const std::string reply = acq_.ZServ.Exec(zcmd::kProbeController);
      if (reply.find(zcmd::kControllerMark) != std::string::npos) {
        acq_.CaptureTaskId = 1;
        acq_.Win.SetText(kStatusLine, reply);
      } else {
        acq_.CaptureTaskId = 0;
        acq_.Win.SetText(kStatusLine, kNoController);
        acq_.Win.SetTip(kStatusLine, "Hardware Trigger: the reply to \"" + zcmd::kProbeController +
                                         "\" was \"" + VisibleText(reply) + "\", without \"" +
                                         zcmd::kControllerMark + "\"");
      }
    } else if (method->code == kCaptureFromFile) {
      // An empty command line starts nothing; the platform would not report it the same way
      // everywhere, so it is refused here.
      if (TrimBlanks(acq_.CaptureProgPath).empty()) {
        throw PlatformError("no command line");
      }
      acq_.CaptureTaskId = acq_.Desk.StartProgram(acq_.CaptureProgPath);
    } else {
      acq_.CaptureTaskId = acq_.Desk.StartProgram(
          QuoteProgramPath(InstalledProgramPath(method->programPath, files_)));
    }
  } catch (const WindowClosed&) {
    throw;
  } catch (const FocuraError& e) {
    acq_.Win.SetText(kStatusLine, kLaunchFailed);
    acq_.Win.SetTip(kStatusLine, std::string(method->caption) + ": " + e.what());
    return 0;
  }
  if (acq_.CaptureTaskId > 0) {
    acq_.LaunchedType = method->code;
    if (const std::string why = KeylessReason(acq_); !why.empty()) {
      acq_.Win.SetText(kStatusLine, std::string(method->caption) +
                                        " started; the run will send it no key: " + why);
    }
  }
  return acq_.CaptureTaskId;
}

std::string KeylessReason(const ZAcq& acq) {
  const CaptureMethod* method = FindCaptureMethod(acq.CaptureType);
  if (method == nullptr)
    return "";
  switch (method->keyRule) {
    case CaptureKeyRule::ByFujiKey:
      if (acq.FujiKey == 1 || acq.FujiKey == 2)
        return "";
      return "Fuji Capture Key is " + std::to_string(acq.FujiKey) + ", not 1 or 2";
    case CaptureKeyRule::CaptureKey:
      if (!acq.CaptureKey.empty())
        return "";
      return std::string(kCaptureKeyFile) + " gave no key";
    case CaptureKeyRule::Fixed:
    case CaptureKeyRule::None:
      break;
  }
  return "";
}

void CaptureControls::cmdLaunchCapture_Click() {
  const bool ready = LaunchCapture() > 0;
  acq_.Win.SetEnabled("cmdCapture", ready);
  acq_.Win.SetEnabled("cmdFocura", ready);
}

bool CaptureControls::MethodItem_Click(std::string_view menuItem) {
  const CaptureMethod* method = FindCaptureMethod(menuItem);
  if (method == nullptr)
    return false;
  acq_.CaptureType = method->code;
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
    acq_.Win.SetText(kStatusLine, *failure);
    acq_.Win.SetEnabled(kLaunchButton, false);
    return std::nullopt;
  }
  return TrimBlanks(LastConfigItem(text));
}

void CaptureControls::LoadCaptureProgPath() {
  const std::optional<std::string> item = ReadConfigFile(kProgPathFile);
  if (!item)
    return;
  acq_.CaptureProgPath = *item;
  if (acq_.CaptureProgPath.empty()) {
    acq_.Win.SetText(kStatusLine, "File " + std::string(kProgPathFile) + " is empty");
    acq_.Win.SetEnabled(kLaunchButton, false);
    return;
  }
  acq_.Win.SetText(kStatusLine, acq_.CaptureProgPath);
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
  acq_.CaptureKey = key;
  if (acq_.CaptureKey.empty()) {
    acq_.Win.SetText(kStatusLine, "File " + std::string(kCaptureKeyFile) + " is empty");
    acq_.Win.SetEnabled(kLaunchButton, false);
    return;
  }
  acq_.Win.SetText(kStatusLine, acq_.Win.GetText(kStatusLine) + " Key <" + VisibleText(key) + ">");
}

}  // namespace focura
