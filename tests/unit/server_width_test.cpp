#include <gtest/gtest.h>

#include <string>

#include "fakes/Fakes.h"
#include "form_rig.h"
#include "zserver/ServerWidth.h"
#include "zserver/SimulatorStandIn.h"

namespace focura {
namespace {

TEST(ServerWidth, AFailedCreationIsClassifiedByWhatEachRegistryViewHolds) {
  struct Case {
    ClassEntries own, other;
    MissingServer expected;
  };
  const ClassEntries none{false, false}, dll{true, false}, exe{false, true}, both{true, true};
  const Case cases[] = {
      {none, none, MissingServer::NotInstalled},
      {none, dll, MissingServer::OtherWidthOnly},
      // A local server of either width is reachable: its failure is not the width's.
      {none, exe, MissingServer::Unusable},
      {none, both, MissingServer::Unusable},
      {dll, none, MissingServer::Unusable},
      {exe, none, MissingServer::Unusable},
      {dll, dll, MissingServer::Unusable},
      {exe, dll, MissingServer::Unusable},
      {both, both, MissingServer::Unusable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "own " << c.own.inProcess << c.own.local << ", other "
                                      << c.other.inProcess << c.other.local);
    EXPECT_EQ(ClassifyFailedCreation(c.own, c.other), c.expected);
  }
}

TEST(ServerWidth, TheMessageNamesTheServersWidthAndTheProgramToStart) {
  const std::string from64 = OtherWidthMessage(Width::Bits64);
  EXPECT_EQ(from64.rfind("The Z server on this PC is a 32-bit component: start focura32.exe\n", 0),
            0u)
      << from64;
  EXPECT_NE(from64.find("This program, focura.exe, is 64-bit"), std::string::npos) << from64;
  const std::string from32 = OtherWidthMessage(Width::Bits32);
  EXPECT_EQ(from32.rfind("The Z server on this PC is a 64-bit component: start focura.exe\n", 0),
            0u)
      << from32;
  EXPECT_NE(from32.find("This program, focura32.exe, is 32-bit"), std::string::npos) << from32;
  EXPECT_STREQ(ProgramFor(Width::Bits32), "focura32.exe");
  EXPECT_STREQ(ProgramFor(Width::Bits64), "focura.exe");
}

TEST(SimulatorStandIn, ASimulatorHidingThisPCsZServerIsSaidAtStartAndDuringRuns) {
  const std::string sim = "{1BF51BFE-5151-4C5F-BB21-3AF8F0298408}";
  const std::string real = "{0A1B2C3D-0000-1111-2222-333344445555}";
  struct Case {
    const char* what;
    ProgIdClasses classes;
    bool said;
  };
  const Case cases[] = {
      {"the real server", {real, real}, false},
      {"the simulator in place of the real one", {sim, real}, true},
      {"the same, its class in other case", {"{1bf51bfe-5151-4c5f-bb21-3af8f0298408}", real}, true},
      {"the simulator the only server", {sim, ""}, false},
      {"the simulator registered for the machine", {sim, sim}, false},
      {"no server at all", {"", real}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(!SimulatorStandInNote(c.classes, sim).empty(), c.said) << c.what;

  // Said in the status line at start, and in every plane's progress text of a run.
  testing::FormRig r;
  r.run.StandInNote = SimulatorStandInNote({sim, real}, sim);
  r.Load();
  EXPECT_EQ(r.w.Status(), r.run.StandInNote);
  fakes::FakeRunPorts ports;
  r.acq.ReportProgressTo(ports);
  r.set.ZTop = 80;
  r.set.ZBottom = 100;
  r.set.StepSize = 10;
  r.set.NumPlanes = 2;
  r.w.texts = {{Control::txtDelay, "0"}, {Control::txtSettle, "0"}, {Control::txtPeriod, "0"}};
  r.form.Dispatch(Command::cmdFocura);
  ASSERT_EQ(ports.timeLeft.size(), 2u);
  for (const std::string& text : ports.timeLeft)
    EXPECT_TRUE(text.ends_with("; the Z server is the simulator")) << text;
}

}  // namespace
}  // namespace focura
