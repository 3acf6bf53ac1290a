#include "capture/CaptureMethods.h"

#include <array>

namespace focura {

namespace {

using R = CaptureKeyRule;
constexpr std::array kMethods{
    CaptureMethod{1, "Canon EOS Utility", "C:\\Program Files\\Canon\\EOS Utility\\EOS Utility.exe",
                  R::Fixed, " "},
    CaptureMethod{2, "Canon Remote Capture",
                  "C:\\Program Files\\Canon\\RemoteCapture\\RemoteCapture.exe", R::Fixed, " "},
    CaptureMethod{3, "DSLR Remote Pro",
                  "C:\\Program Files\\BreezeSys\\DSLR Remote Pro\\DSlrRemote.exe", R::Fixed,
                  "{F8}"},
    CaptureMethod{4, "Fuji StudioUtility", "C:\\Program Files\\HyperUtility\\StudioUtility.exe",
                  R::ByFujiKey, ""},
    CaptureMethod{kCaptureFromFile, "From captureprogpath.txt", "", R::CaptureKey, ""},
    CaptureMethod{kCaptureHardware, "Hardware Trigger", "", R::None, ""},
};

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

std::string QuoteProgramPath(std::string_view path) {
  return "\"" + std::string(path) + "\"";
}

std::string KeylessReason(const FrameSettings& acq) {
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

}  // namespace focura
