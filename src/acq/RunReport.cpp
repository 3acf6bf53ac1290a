#include "acq/RunReport.h"

namespace focura {

void StatusAndProgress::AtPlane(int32_t plane, int32_t planes, const std::string& line) {
  status_.Status(line);
  progress_.AtPlane(plane, planes);
}

void StatusAndProgress::Ended(RunEnd end, const std::string& text) {
  if (!text.empty())
    status_.Status(text);
  switch (end) {
    case RunEnd::Finished:
      progress_.Finished();
      return;
    case RunEnd::Cancelled:
      progress_.Cancelled();
      return;
    case RunEnd::Failed:
      progress_.Failed();
      return;
  }
}

}  // namespace focura
