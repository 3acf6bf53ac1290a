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

TEST(ComZServer, EachResultOfACallMeansOneThing) {
  struct Case {
    HRESULT hr;
    ExecResult means;
  };
  for (const Case& c : {
           Case{S_OK, ExecResult::Done},
           Case{S_FALSE, ExecResult::Done},
           Case{DISP_E_EXCEPTION, ExecResult::ServerFailed},
           Case{RPC_E_SERVERCALL_RETRYLATER, ExecResult::RetryLater},
           Case{RPC_E_CALL_REJECTED, ExecResult::Rejected},
           Case{HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), ExecResult::Gone},
           Case{HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), ExecResult::Gone},
           Case{HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE), ExecResult::Gone},
           Case{RPC_E_DISCONNECTED, ExecResult::Gone},
           Case{RPC_E_SERVER_DIED, ExecResult::Gone},
           Case{RPC_E_SERVER_DIED_DNE, ExecResult::Gone},
           Case{CO_E_OBJNOTCONNECTED, ExecResult::Gone},
           Case{E_FAIL, ExecResult::Failed},
           Case{RPC_E_CANTCALLOUT_ININPUTSYNCCALL, ExecResult::Failed},
       }) {
    EXPECT_EQ(ClassifyExecResult(c.hr), c.means) << std::hex << c.hr;
  }
  // A server gone by any of them is a lost server, which the next command starts again.
  FakeDispatch server;
  HRESULT answer = S_OK;
  server.behaviour = [&answer](const std::wstring&, VARIANT*, EXCEPINFO*) { return answer; };
  ComZServer z(&server);
  for (HRESULT gone :
       {RPC_E_SERVER_DIED, RPC_E_SERVER_DIED_DNE, HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE)}) {
    answer = gone;
    EXPECT_THROW(z.Exec("Z ?"), ZServerLost) << std::hex << gone;
  }
}

// "Retry later" from the server's own Exec: asked again only when the command is safe to repeat.
TEST(ComZServer, ARetryLaterIsAskedAgainOnlyForACommandSafeToRepeat) {
  FakeDispatch server;
  int busyAnswers = 0;
  server.behaviour = [&busyAnswers](const std::wstring&, VARIANT* result, EXCEPINFO*) {
    if (busyAnswers > 0) {
      --busyAnswers;
      return RPC_E_SERVERCALL_RETRYLATER;
    }
    return ReplyText(result, L"OK");
  };
  ComZServer z(&server, kZServerProgId, BusyRetry{1, 5000});
  busyAnswers = 2;
  EXPECT_EQ(z.Exec("Z ?"), "OK");
  EXPECT_EQ(server.commands.size(), 3u);

  server.commands.clear();
  busyAnswers = 2;
  try {
    z.Exec("Z Rel -10.0000 ; Z Wait ;");
    ADD_FAILURE() << "no failure";
  } catch (const ZServerError& e) {
    EXPECT_NE(e.Message().find("the step may or may not have been made"), std::string::npos)
        << e.Message();
  }
  EXPECT_EQ(server.commands.size(), 1u);  // never sent twice

  // One that stays busy is given up on after the limit.
  ComZServer impatient(&server, kZServerProgId, BusyRetry{1, 30});
  busyAnswers = 1000000;
  try {
    impatient.Exec("Obj GetNum");
    ADD_FAILURE() << "no failure";
  } catch (const ZServerError& e) {
    EXPECT_NE(e.Message().find("stayed busy"), std::string::npos) << e.Message();
  }
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
