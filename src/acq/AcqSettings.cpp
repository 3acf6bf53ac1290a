#include "acq/AcqSettings.h"

namespace focura {

std::span<const AcqSettings::TimingBox> AcqSettings::TimingBoxes() {
  // In the order the run reads them, which is also the window's.
  static constexpr TimingBox kBoxes[] = {
      {"txtDelay", "Capture Delay (sec.)", &AcqSettings::CaptureDelay},
      {"txtSettle", "Settle Delay (sec.)", &AcqSettings::SettleDelay},
      {"txtPeriod", "Period (sec.)", &AcqSettings::Period},
  };
  return kBoxes;
}

}  // namespace focura
