#pragma once
// Room for every caption: a control whose caption needs more room than its design rectangle
// gives grows into free space beside it, never over another control. Pixels, measured by the
// caller in the font the controls really use.

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace focura {

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  // Whether the two share any pixel.
  bool Overlaps(const Box& other) const;
  bool Contains(const Box& other) const;
};

struct CaptionBox {
  Box box;                  // the design rectangle
  int inset = 0;            // room the control keeps between its edge and its caption, per side
  bool hasCaption = false;  // a control without one is only an obstacle
  bool label = false;       // a label overlapping another control gives up the overlap (text boxes
                            // and buttons keep their edges)
  bool keepTop = false;     // grows sideways and down only: its top stays in line with its row
};

struct TextSize {
  int width = 0, height = 0;
};

// Size of control `index`'s caption word-wrapped at `wrapWidth`; a word wider than that stays
// whole, so the width returned may exceed it.
using MeasureCaption = std::function<TextSize(std::size_t index, int wrapWidth)>;

struct FittedBox {
  Box box;
  // false: no free space was enough; the box took what was free and the caption needs another
  // way to be read whole
  bool fits = true;
};

// `area`: where controls may grow to (the client area at its design size). `gap`: the distance a
// grown edge keeps from other controls and from the area's edge. Controls are fitted in order;
// one that grew is an obstacle to those after it.
std::vector<FittedBox> FitCaptions(std::span<const CaptionBox> controls, const Box& area, int gap,
                                   const MeasureCaption& measure);

}  // namespace focura
