// The Z server link through automation: what goes in, what comes back, and how failures read.

#include "win32/ComZServer.h"

#include <gtest/gtest.h>

#include "win32/ComApartment.h"
#include "win32/FakeDispatch.h"
#include "win32/Utf.h"

namespace focura::win32 {
namespace {

using testing::FakeDispatch;
using testing::ReplyText;

TEST(ComZServer, SendsTheCommandAsOneStringAndReturnsTheReplyAsText) {
  FakeDispatch server;
  server.behaviour = [](const std::wstring& command, VARIANT* result, EXCEPINFO*) {
    if (command == L"Z ?")
      return ReplyText(result, L"Z: 12.5000 \u00B5m");
    if (command == L"Obj GetNum") {
      result->vt = VT_I4;
      result->lVal = 42;
      return S_OK;
    }
    return S_OK;  // nothing returned: the reply is empty
  };
  ComZServer z(&server);
  EXPECT_EQ(z.Exec("Z ?"), "Z: 12.5000 \xC2\xB5m");
  EXPECT_EQ(z.Exec("Obj GetNum"), "42");
  EXPECT_EQ(z.Exec("Z Rel -1.0000 ; Z Wait ;"), "");
  ASSERT_EQ(server.commands.size(), 3u);
  EXPECT_EQ(server.commands[2], L"Z Rel -1.0000 ; Z Wait ;");
}

TEST(ComZServer, FailuresNameTheCommandAndCarryTheServersWords) {
  FakeDispatch server;
  server.behaviour = [](const std::wstring& command, VARIANT* result, EXCEPINFO* excep) {
    if (command == L"Z Wait") {
      excep->scode = E_FAIL;
      excep->bstrDescription = SysAllocString(L"Axis not homed");
      return DISP_E_EXCEPTION;
    }
    if (command == L"Show")
      return RPC_E_DISCONNECTED;
    result->vt = VT_NULL;
    return S_OK;
  };
  ComZServer z(&server);
  try {
    z.Exec("Z Wait");
    ADD_FAILURE() << "no exception";
  } catch (const ZServerError& e) {
    EXPECT_EQ(e.Command(), "Z Wait");
    EXPECT_EQ(e.Message(), "Axis not homed");
  }
  try {
    z.Exec("Show");
    ADD_FAILURE() << "no exception";
  } catch (const ZServerError& e) {
    EXPECT_EQ(e.Command(), "Show");
    EXPECT_NE(e.Message().find("0x80010108"), std::string::npos) << e.Message();
  }
  // A Null reply cannot be read as text.
  EXPECT_THROW(z.Exec("Hide"), ZServerError);
}

TEST(ComZServer, AnObjectWithoutExecIsRefusedAndReferencesAreBalanced) {
  FakeDispatch server;
  server.hasExec = false;
  EXPECT_THROW(ComZServer z(&server), ZServerUnavailable);
  EXPECT_EQ(server.refs, 1u);
  server.hasExec = true;
  {
    ComZServer z(&server);
    EXPECT_EQ(server.refs, 2u);
  }
  EXPECT_EQ(server.refs, 1u);
}

TEST(ComZServer, AnUnregisteredProgIdNamesTheProgIdAndSaysSo) {
  ComApartment com;
  try {
    ComZServer z("Focura.NoSuchServer");
    FAIL() << "created";
  } catch (const ZServerUnavailable& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("\"Focura.NoSuchServer\""), std::string::npos) << what;
    EXPECT_NE(what.find("not registered"), std::string::npos) << what;
  }
}

}  // namespace
}  // namespace focura::win32
