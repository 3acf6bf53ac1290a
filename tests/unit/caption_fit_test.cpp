// Growing controls for their captions: into free space only, keeping the gap, never over another.

#include "ui/CaptionFit.h"

#include <gtest/gtest.h>

#include <vector>

namespace focura {
namespace {

// Captions of `words[i]` words, each 10 wide, lines 10 high.
MeasureCaption Words(std::vector<int> words) {
  return [words](std::size_t i, int wrapWidth) {
    const int perLine = wrapWidth / 10;
    if (perLine == 0)
      return TextSize{10, 10};
    const int lines = (words[i] + perLine - 1) / perLine;
    return TextSize{std::min(words[i], perLine) * 10, lines * 10};
  };
}

bool Same(const Box& a, const Box& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(CaptionFit, ACaptionThatFitsStaysAndALabelGivesUpTheStripItSharesWithItsNeighbour) {
  const std::vector<CaptionBox> controls{
      {{0, 0, 40, 20}, 2, true, false},    // button: 3 words in 36 wide
      {{50, 0, 81, 10}, 0, true, true},    // label over the text box by 1
      {{80, 0, 120, 10}, 0, false, false}  // text box
  };
  const auto fitted = FitCaptions(controls, {0, 0, 200, 100}, 2, Words({3, 3, 0}));
  ASSERT_EQ(fitted.size(), 3u);
  EXPECT_TRUE(Same(fitted[0].box, controls[0].box));
  EXPECT_TRUE(Same(fitted[1].box, {50, 0, 80, 10}));
  EXPECT_TRUE(fitted[1].fits);
  EXPECT_TRUE(Same(fitted[2].box, controls[2].box));
}

TEST(CaptionFit, AControlGrowsIntoFreeSpaceKeepingTheGapButNeverOverAnother) {
  // A label of 6 words in a 20x20 box (needs 3 lines at 20): a text box right next to it,
  // another 2 below it at a distance of 10, free space to its left up to 5.
  const std::vector<CaptionBox> controls{
      {{20, 10, 40, 30}, 0, true, true},
      {{40, 10, 80, 20}, 0, false, false},
      {{0, 40, 100, 50}, 0, false, false},
  };
  const auto fitted = FitCaptions(controls, {0, 0, 100, 100}, 2, Words({6, 0, 0}));
  ASSERT_TRUE(fitted[0].fits);
  const Box& b = fitted[0].box;
  EXPECT_EQ(b.right, 40);   // the text box keeps its place
  EXPECT_LE(b.bottom, 38);  // the gap to the control below
  EXPECT_GE(b.left, 2);     // the gap to the area's edge
  EXPECT_TRUE(b.Contains(controls[0].box));
  for (std::size_t j = 1; j < controls.size(); ++j)
    EXPECT_FALSE(b.Overlaps(controls[j].box));
  // The smallest box that holds it: 30 wide, 2 lines.
  EXPECT_EQ(b.Width() * b.Height(), 30 * 20);
}

TEST(CaptionFit, WithoutEnoughFreeSpaceTheControlTakesWhatIsFreeAndSaysTheCaptionDoesNotFit) {
  const std::vector<CaptionBox> controls{
      {{10, 10, 30, 20}, 0, true, false},  {{0, 0, 10, 100}, 0, false, false},
      {{30, 0, 40, 100}, 0, false, false}, {{10, 0, 30, 10}, 0, false, false},
      {{10, 20, 30, 30}, 0, false, false},
  };
  const auto fitted = FitCaptions(controls, {0, 0, 100, 100}, 0, Words({5, 0, 0, 0, 0}));
  EXPECT_FALSE(fitted[0].fits);
  EXPECT_TRUE(Same(fitted[0].box, controls[0].box));

  // Room for 4 of its 5 lines below it: it takes all of that, and still does not fit.
  std::vector<CaptionBox> roomier(controls.begin(), controls.end() - 1);
  const auto grown = FitCaptions(roomier, {0, 0, 100, 50}, 0, Words({10, 0, 0, 0}));
  EXPECT_FALSE(grown[0].fits);
  EXPECT_TRUE(Same(grown[0].box, {10, 10, 30, 50}));
}

}  // namespace
}  // namespace focura
