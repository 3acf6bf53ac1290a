// The tool as it comes up and goes away: what the Z server hears, and what the operator sees
// before touching anything.

#include "E2ETest.h"

#include "ui/Controls.h"

#include <set>

namespace focura::e2e {
namespace {

using Strings = std::vector<std::string>;

class StartAndClose : public E2ETest {};

TEST_F(StartAndClose, ShowsTheDesignStateAndTellsTheZServerExactlyShowJoyOnHideThenUnload) {
  StartTool();
  EXPECT_EQ(Commands(tool->WaitRecord(3)), (Strings{"Show", "Joy On", "Hide"}));

  const std::set<std::string> disabled{"cmdLaunchCapture", "cmdCapture", "cmdFocura"};
  const std::map<std::string, std::string> timing{
      {"txtDelay", "2.0"}, {"txtSettle", "1.0"}, {"txtPeriod", "0.0"}};
  for (const ControlSpec& c : MainControls()) {
    const std::string name(c.name);
    SCOPED_TRACE(name);
    if (c.kind == ControlKind::TextBox) {
      EXPECT_EQ(tool->Text(name), timing.count(name) ? timing.at(name) : "");
    } else {
      // Labels and buttons carry their design captions; lblMsg, lblTop and lblBot are empty.
      EXPECT_EQ(tool->Text(name), std::string(c.caption));
    }
    if (c.kind == ControlKind::Button) {
      EXPECT_EQ(tool->Enabled(name), disabled.count(name) == 0);
    }
  }
  for (const MenuSpec& m : MainMenus()) {
    if (m.kind == MenuKind::Item) {
      SCOPED_TRACE(std::string(m.name));
      EXPECT_FALSE(tool->Checked(std::string(m.name)));
    }
  }

  EXPECT_EQ(tool->CloseAndWait(), 0u);
  const auto record = tool->Record();
  EXPECT_EQ(Commands(record), (Strings{"Show", "Joy On", "Hide", "Unload"}));
}

}  // namespace
}  // namespace focura::e2e
