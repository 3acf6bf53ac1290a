#include "acq/AcqSettings.h"

namespace focura {

std::span<const AcqSettings::TimingBox> AcqSettings::TimingBoxes() {
  // In the order the run reads them, which is also the window's.
  static constexpr TimingBox kBoxes[] = {
      {RunBox::CaptureDelay, "Capture Delay (sec.)", &AcqSettings::CaptureDelay},
      {RunBox::SettleDelay, "Settle Delay (sec.)", &AcqSettings::SettleDelay},
      {RunBox::Period, "Period (sec.)", &AcqSettings::Period},
  };
  return kBoxes;
}

}  // namespace focura
