#pragma once

namespace focura {

class ZAcq;

// Triggers one frame with the chosen capture method: the capture program's key, or a pulse of
// the controller's trigger output. Returns at once when nothing was launched.
void CaptureFrame(ZAcq& acq);

}  // namespace focura
