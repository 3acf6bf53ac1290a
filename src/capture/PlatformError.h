#pragma once

#include "text/Errors.h"

namespace focura {

// A platform service (process start, window activation, keys, clipboard, files) failed.
struct PlatformError : FocuraError {
  using FocuraError::FocuraError;
};

}  // namespace focura
