#pragma once

namespace focura {

// The boxes of the window that the plan shows and the run reads its timings from, as the
// acquisition knows them; the window's side maps each to its control.
enum class RunBox { Top, Bottom, NumPlanes, StepSize, CaptureDelay, SettleDelay, Period };

}  // namespace focura
