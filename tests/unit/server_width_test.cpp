#include <gtest/gtest.h>

#include <string>

#include "zserver/ServerWidth.h"

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

}  // namespace
}  // namespace focura
