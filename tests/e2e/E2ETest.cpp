#include "E2ETest.h"

#include "Desktop.h"

#include <cstdio>

namespace focura::e2e {

namespace {

std::string Fixed(double value, int decimals, const std::string& separator) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string text = buf;
  const size_t dot = text.find('.');
  if (dot != std::string::npos)
    text.replace(dot, 1, separator);
  return text;
}

}  // namespace

std::string F4(double value, const std::string& separator) {
  return Fixed(value, 4, separator);
}

std::string F2(double value, const std::string& separator) {
  return Fixed(value, 2, separator);
}

void E2ETest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "-" + info->name();
  for (char& c : name) {
    if (c == '/')
      c = '-';
  }
  tool = std::make_unique<ToolSession>(name);
}

void E2ETest::TearDown() {
  tool.reset();
}

void E2ETest::StartTool() {
  tool->RegisterZServer();
  tool->Start();
}

std::string E2ETest::Execute(const std::string& command) {
  const size_t before = tool->Record().size();
  tool->Type("txtCommand", command);
  tool->Click("cmdExecute");
  const auto record = tool->WaitRecord(before + 1);
  if (record.size() <= before || record[before].command != command) {
    ADD_FAILURE() << "the Z server did not receive \"" << command << "\"";
    return {};
  }
  const std::string reply = record[before].reply;
  EXPECT_EQ(tool->WaitStatusIs(reply), reply) << "after Execute of \"" << command << "\"";
  return reply;
}

void E2ETest::MoveTo(double z) {
  EXPECT_EQ(Execute("Z " + F4(z, sep) + " ; Z Wait ;"), "OK ; OK");
}

void E2ETest::MarkEnd(const std::string& button, const std::string& label, double z) {
  MoveTo(z);
  // The label may already read the same from an earlier plan, so the command is awaited by its
  // position query reaching the Z server.
  const size_t before = tool->Record().size();
  tool->Click(button);
  const auto record = tool->WaitRecord(before + 1);
  EXPECT_TRUE(record.size() > before && record[before].command == "Z ?")
      << button << " sent no position query";
  EXPECT_TRUE(WaitUntil([&] { return tool->Text(label) == F2(z, sep); }, kStepMs))
      << label << " reads " << tool->Text(label);
}

void E2ETest::SetTopAt(double z) {
  MarkEnd("cmdSetTop", "lblTop", z);
}

void E2ETest::SetBottomAt(double z) {
  MarkEnd("cmdSetBot", "lblBot", z);
}

void E2ETest::SetPlanes(int n, const std::string& expectedStep) {
  tool->Type("txtStepSize", "");
  tool->Type("txtNumPlanes", std::to_string(n));
  tool->Click("cmdSetNum");
  EXPECT_TRUE(WaitUntil([&] { return tool->Text("txtStepSize") == expectedStep; }, kStepMs))
      << "txtStepSize reads " << tool->Text("txtStepSize");
}

void E2ETest::SetTimings(const std::string& capture, const std::string& settle,
                         const std::string& period) {
  tool->Type("txtDelay", capture);
  tool->Type("txtSettle", settle);
  tool->Type("txtPeriod", period);
}

StandInLog E2ETest::LaunchStandIn(const std::string& key) {
  const std::string folder = tool->PathOf("Camera Remote");
  RecreateFolder(folder);
  const std::string exe = folder + "\\capture_target.exe";
  CopyFileTo(TheConfig().standInExe, exe);
  return LaunchCopy(exe, "", key);
}

StandInLog E2ETest::LaunchCopy(const std::string& exe, const std::string& args,
                               const std::string& key) {
  // The path quoted, its arguments after the closing quote: the item keeps its quotes then.
  const std::string commandLine = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
  const std::string shownLine = args.empty() ? exe : commandLine;
  tool->WriteFile("captureprogpath.txt", commandLine + "\r\n");
  tool->WriteFile("capturekey.txt", key + "\r\n");
  tool->Menu("mnuPath");
  const std::string shown = shownLine + " Key <" + (key == "{SPACE}" ? " " : key) + ">";
  EXPECT_EQ(tool->WaitStatusIs(shown), shown);
  EXPECT_TRUE(tool->Enabled("cmdLaunchCapture"));
  StandInLog log(exe.substr(0, exe.size() - 4) + ".keys.log");
  tool->Click("cmdLaunchCapture");
  EXPECT_TRUE(log.WaitStarted(kStartMs)) << "the stand-in did not start";
  EXPECT_TRUE(WaitUntil([&] { return tool->Enabled("cmdFocura"); }, kStepMs));
  return log;
}

std::string E2ETest::RunStack(unsigned ms) {
  tool->Click("cmdFocura");
  return tool->WaitStatus(
      [](const std::string& s) {
        return s == "Z-stack finished" || s == "Z-stack cancelled" || s == "Error";
      },
      ms);
}

std::vector<std::string> E2ETest::CommandsFrom(size_t from) const {
  const auto all = Commands(tool->Record());
  if (from >= all.size())
    return {};
  return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
}

}  // namespace focura::e2e
