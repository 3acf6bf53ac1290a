// The three option prompts: an answer is stored (the prompt shows it next time) and clears the
// status line; Cancel or a text that is not a number says "Not a number" and keeps the option.

#include "E2ETest.h"

namespace focura::e2e {
namespace {

struct Option {
  const char* menu;
  const char* title;
  const char* initial;
};

class OptionPrompts : public E2ETest {};

TEST_F(OptionPrompts, AnswersAreStoredCancelAndNonNumbersSayNotANumber) {
  StartTool();
  tool->WaitRecord(3);
  const Option options[] = {{"mnuDelayKey", "Capture Key Delay", "200"},
                            {"mnuTriggerHold", "Trigger Hold Time", "500"},
                            {"mnuFujiCapKey", "Fuji Capture Key", "1"}};
  for (const Option& o : options) {
    SCOPED_TRACE(o.menu);
    // Something in the status line, so that clearing it shows.
    Execute("Z ?");
    tool->Menu(o.menu);
    EXPECT_EQ(tool->AnswerPrompt(o.title, "-5"), o.initial);
    EXPECT_EQ(tool->WaitStatusIs(""), "");

    tool->Menu(o.menu);
    EXPECT_EQ(tool->AnswerPrompt(o.title, nullptr), "-5");
    EXPECT_EQ(tool->WaitStatusIs("Not a number"), "Not a number");

    Execute("Z ?");
    tool->Menu(o.menu);
    EXPECT_EQ(tool->AnswerPrompt(o.title, "12 ms"), "-5");
    EXPECT_EQ(tool->WaitStatusIs("Not a number"), "Not a number");

    // Rounded half to even into the integer option.
    tool->Menu(o.menu);
    EXPECT_EQ(tool->AnswerPrompt(o.title, "2.5"), "-5");
    EXPECT_EQ(tool->WaitStatusIs(""), "");
    tool->Menu(o.menu);
    EXPECT_EQ(tool->AnswerPrompt(o.title, nullptr), "2");
  }
}

}  // namespace
}  // namespace focura::e2e
