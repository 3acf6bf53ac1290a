// Under regional settings with a decimal comma, the tool shows and sends its numbers with it, and
// the simulator (reading the same settings) understands them.

#include "E2ETest.h"

namespace focura::e2e {
namespace {

using Strings = std::vector<std::string>;

// Replaces a value of the user's "Control Panel\International" key for one scope. Wine reads it
// when a program asks for its locale's decimal separator.
class ScopedInternational {
 public:
  ScopedInternational(const wchar_t* name, const wchar_t* value) : name_(name) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                    nullptr);
    wchar_t old[32];
    DWORD size = sizeof old;
    had_ = RegGetValueW(key_, nullptr, name_, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS;
    if (had_)
      old_ = old;
    Set(value);
  }
  ~ScopedInternational() {
    if (had_)
      Set(old_.c_str());
    else
      RegDeleteValueW(key_, name_);
    RegCloseKey(key_);
  }
  ScopedInternational(const ScopedInternational&) = delete;
  ScopedInternational& operator=(const ScopedInternational&) = delete;

 private:
  static constexpr const wchar_t* kKey = L"Control Panel\\International";
  void Set(const wchar_t* value) {
    RegSetValueExW(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
  }
  HKEY key_ = nullptr;
  const wchar_t* name_;
  bool had_ = false;
  std::wstring old_;
};

class RegionalSeparator : public E2ETest {};

TEST_F(RegionalSeparator, ADecimalCommaShowsInTheBoxesAndTravelsInTheCommands) {
  ScopedInternational comma(L"sDecimal", L",");
  sep = ",";
  StartTool();
  EXPECT_EQ(tool->Text("txtDelay"), "2,0");
  EXPECT_EQ(tool->Text("txtSettle"), "1,0");
  EXPECT_EQ(tool->Text("txtPeriod"), "0,0");

  tool->Menu("mnuHWT");
  ASSERT_TRUE(WaitUntil([&] { return tool->Enabled("cmdLaunchCapture"); }, kStepMs));
  tool->Click("cmdLaunchCapture");
  ASSERT_TRUE(WaitUntil([&] { return tool->Enabled("cmdFocura"); }, kStepMs));
  tool->Menu("mnuTriggerHold");
  tool->AnswerPrompt("Trigger Hold Time", "1");

  SetTopAt(10.5);
  EXPECT_EQ(tool->Status(), "ZTop= 10,50, ZBottom= 77777,00, ZHeight= 77766,50");
  SetBottomAt(15.5);
  SetPlanes(3, "2,50");
  // A decimal point here is refused with the bare word; the reason is in the line's tooltip, and
  // the run button's tooltip tells the same before anything is started.
  SetTimings("0,05", "0.05", "0,0");
  const std::string reason =
      "Settle Delay (sec.): \"0.05\" is not a number; this PC writes decimals with \",\"";
  EXPECT_EQ(tool->Tip("cmdFocura"), "Now a run would be refused with \"Error\": " + reason);
  EXPECT_EQ(RunStack(), "Error");
  EXPECT_EQ(tool->Tip("lblMsg"), reason);
  SetTimings("0,05", "0,05", "0,0");
  EXPECT_EQ(tool->Tip("cmdFocura").rfind("3 planes, about ", 0), 0u) << tool->Tip("cmdFocura");
  // The plan again, so that the next run's end is not read from the "Error" still in the line.
  SetPlanes(3, "2,50");
  tool->WaitStatus([](const std::string& s) { return s != "Error"; });
  const size_t from = tool->Record().size();
  EXPECT_EQ(RunStack(), "Z-stack finished");
  const Strings sent = CommandsFrom(from);
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), "Z 18,0000 ; Z Wait ;");
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "Z Rel -2,5000 ; Z Wait ;"), 3);
  for (const auto& r : tool->Record()) {
    if (r.command == "Z ?") {
      EXPECT_NE(r.reply.find(','), std::string::npos) << r.reply;
    }
  }
}

}  // namespace
}  // namespace focura::e2e
