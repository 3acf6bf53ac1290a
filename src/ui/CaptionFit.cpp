#include "ui/CaptionFit.h"

#include <algorithm>
#include <optional>

namespace focura {

bool Box::Overlaps(const Box& o) const {
  return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
}

bool Box::Contains(const Box& o) const {
  return left <= o.left && top <= o.top && o.right <= right && o.bottom <= bottom;
}

namespace {

long long Area(const Box& b) {
  return static_cast<long long>(b.Width()) * b.Height();
}

// A label laid over its neighbour by the design (or by rounding at some DPI) gives up the
// shared strip on the side that keeps most of it.
Box TrimOff(const Box& label, const Box& other) {
  std::optional<Box> best;
  auto consider = [&](Box b) {
    if (b.Width() > 0 && b.Height() > 0 && !b.Overlaps(other) && (!best || Area(b) > Area(*best)))
      best = b;
  };
  Box b = label;
  b.right = other.left;
  consider(b);
  b = label;
  b.left = other.right;
  consider(b);
  b = label;
  b.bottom = other.top;
  consider(b);
  b = label;
  b.top = other.bottom;
  consider(b);
  return best.value_or(label);
}

class Fitter {
 public:
  Fitter(std::span<const CaptionBox> controls, const Box& area, int gap,
         const MeasureCaption& measure)
      : controls_(controls), area_(area), gap_(gap), measure_(measure) {
    for (const CaptionBox& c : controls)
      boxes_.push_back(c.box);
  }

  std::vector<FittedBox> Run() {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
      for (std::size_t j = 0; j < boxes_.size(); ++j) {
        if (i != j && controls_[i].label && boxes_[i].Overlaps(boxes_[j]))
          boxes_[i] = TrimOff(boxes_[i], boxes_[j]);
      }
    }
    std::vector<FittedBox> fitted;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
      bool fits = true;
      if (controls_[i].hasCaption && !Fits(i, boxes_[i])) {
        if (auto grown = Grow(i)) {
          boxes_[i] = *grown;
        } else {
          // Still too small: show as much of it as the free space allows.
          fits = false;
          boxes_[i] = Widest(i);
        }
      }
      fitted.push_back({boxes_[i], fits});
    }
    return fitted;
  }

 private:
  // The caption's height for a text area `width` wide, or nothing when a word is wider.
  std::optional<int> NeededHeight(std::size_t i, int width) const {
    const int textW = width - 2 * controls_[i].inset;
    if (textW <= 0)
      return std::nullopt;
    const TextSize size = measure_(i, textW);
    if (size.width > textW)
      return std::nullopt;
    return size.height + 2 * controls_[i].inset;
  }

  bool Fits(std::size_t i, const Box& b) const {
    const auto needed = NeededHeight(i, b.Width());
    return needed && *needed <= b.Height();
  }

  // Every edge that moved keeps the gap from the area's edge and from every other control.
  bool Free(std::size_t i, const Box& candidate) const {
    const Box& from = boxes_[i];
    Box reach = candidate;
    if (candidate.left < from.left)
      reach.left -= gap_;
    if (candidate.top < from.top)
      reach.top -= gap_;
    if (candidate.right > from.right)
      reach.right += gap_;
    if (candidate.bottom > from.bottom)
      reach.bottom += gap_;
    if (reach.left < std::min(from.left, area_.left) || reach.top < std::min(from.top, area_.top) ||
        reach.right > std::max(from.right, area_.right) ||
        reach.bottom > std::max(from.bottom, area_.bottom)) {
      return false;
    }
    for (std::size_t j = 0; j < boxes_.size(); ++j) {
      if (j != i && reach.Overlaps(boxes_[j]))
        return false;
    }
    return true;
  }

  // How far each edge could move at most: up to the nearest control across from it, keeping the
  // gap. Growing in the other direction only adds obstacles, so these bound every candidate.
  struct Reach {
    int left, right, up, down;
  };
  Reach MaxReach(std::size_t i) const {
    const Box& b = boxes_[i];
    int leftLimit = area_.left + gap_, rightLimit = area_.right - gap_;
    int topLimit = area_.top + gap_, bottomLimit = area_.bottom - gap_;
    for (std::size_t j = 0; j < boxes_.size(); ++j) {
      if (j == i)
        continue;
      const Box& o = boxes_[j];
      if (o.top < b.bottom && b.top < o.bottom) {
        if (o.right <= b.left)
          leftLimit = std::max(leftLimit, o.right + gap_);
        if (o.left >= b.right)
          rightLimit = std::min(rightLimit, o.left - gap_);
      }
      if (o.left < b.right && b.left < o.right) {
        if (o.bottom <= b.top)
          topLimit = std::max(topLimit, o.bottom + gap_);
        if (o.top >= b.bottom)
          bottomLimit = std::min(bottomLimit, o.top - gap_);
      }
    }
    return {std::max(0, b.left - leftLimit), std::max(0, rightLimit - b.right),
            controls_[i].keepTop ? 0 : std::max(0, b.top - topLimit),
            std::max(0, bottomLimit - b.bottom)};
  }

  // The smallest grown rectangle that holds the caption; the right and lower edges move first,
  // so a control keeps its alignment with its row and column where it can.
  std::optional<Box> Grow(std::size_t i) const {
    const Box& b = boxes_[i];
    const Reach reach = MaxReach(i);
    std::optional<Box> best;
    for (int w = 0; w <= reach.left + reach.right; ++w) {
      const auto needed = NeededHeight(i, b.Width() + w);
      if (!needed)
        continue;
      const int extraH = std::max(0, *needed - b.Height());
      if (extraH > reach.up + reach.down)
        continue;
      const long long area = static_cast<long long>(b.Width() + w) * (b.Height() + extraH);
      if (best && area >= Area(*best))
        continue;
      for (int dl = std::max(0, w - reach.right); dl <= std::min(w, reach.left); ++dl) {
        bool placed = false;
        for (int dt = std::max(0, extraH - reach.down); dt <= std::min(extraH, reach.up); ++dt) {
          const Box candidate{b.left - dl, b.top - dt, b.right + (w - dl),
                              b.bottom + (extraH - dt)};
          if (Free(i, candidate)) {
            best = candidate;
            placed = true;
            break;
          }
        }
        if (placed)
          break;
      }
    }
    return best;
  }

  Box Widest(std::size_t i) const {
    const Box& b = boxes_[i];
    const Reach reach = MaxReach(i);
    const Box all{b.left - reach.left, b.top - reach.up, b.right + reach.right,
                  b.bottom + reach.down};
    return Free(i, all) ? all : b;
  }

  std::span<const CaptionBox> controls_;
  Box area_;
  int gap_;
  const MeasureCaption& measure_;
  std::vector<Box> boxes_;
};

}  // namespace

std::vector<FittedBox> FitCaptions(std::span<const CaptionBox> controls, const Box& area, int gap,
                                   const MeasureCaption& measure) {
  return Fitter(controls, area, gap, measure).Run();
}

}  // namespace focura
