#include "win32/Win32Keyboard.h"

#include <string>
#include <vector>

#include "win32/ErrorText.h"
#include "win32/KeyInput.h"

namespace focura::win32 {

std::optional<uint32_t> ProcessIntegrity(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token))
    return std::nullopt;
  std::optional<uint32_t> level;
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  if (size != 0 && GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
    const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
    const PSID sid = label->Label.Sid;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    if (count > 0)
      level = *GetSidSubAuthority(sid, count - 1u);
  }
  CloseHandle(token);
  return level;
}

std::optional<uint32_t> Win32Keyboard::OwnIntegrity() {
  // A process's level is fixed for its life: read once, it is not read again before each key.
  if (!ownIntegrityRead_) {
    ownIntegrity_ = ProcessIntegrity(GetCurrentProcess());
    ownIntegrityRead_ = true;
  }
  return ownIntegrity_;
}

std::optional<uint32_t> Win32Keyboard::FocusIntegrity(bool& focusIsOwn) {
  DWORD pid = 0;
  if (HWND front = GetForegroundWindow())
    GetWindowThreadProcessId(front, &pid);
  // No window in front: the keys go nowhere, as they would for this program itself.
  focusIsOwn = pid == 0 || pid == GetCurrentProcessId();
  if (focusIsOwn)
    return OwnIntegrity();
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr)
    return std::nullopt;
  const std::optional<uint32_t> level = ProcessIntegrity(process);
  CloseHandle(process);
  return level;
}

Win32Keyboard::~Win32Keyboard() {
  if (targetProcess_ != nullptr)
    CloseHandle(targetProcess_);
}

bool Win32Keyboard::Insert(const KeyStrokes& keys, std::string& failure) {
  std::vector<INPUT> inputs = KeyInputs(keys);
  for (INPUT& in : inputs)
    in.ki.dwExtraInfo = kKeyTag;
  target_ = GetForegroundWindow();
  if (targetProcess_ != nullptr)
    CloseHandle(targetProcess_);
  DWORD pid = 0;
  if (target_ != nullptr)
    GetWindowThreadProcessId(target_, &pid);
  targetProcess_ = pid == 0 ? nullptr : OpenProcess(SYNCHRONIZE, FALSE, pid);
  roundTrips_ = 0;
  insertedAt_ = GetTickCount();
  const uint64_t before = watch_.Passed();
  inserted_ = inputs.empty()
                  ? 0
                  : SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  passedTarget_ = before + inserted_;
  if (inserted_ == inputs.size())
    return true;
  failure = inserted_ == 0 ? SystemErrorText(GetLastError())
                           : std::to_string(inserted_) + " of " + std::to_string(inputs.size()) +
                                 " key events went in";
  return false;
}

void Win32Keyboard::ReleaseModifiers() {
  std::vector<INPUT> ups;
  for (WORD vk : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    ups.push_back(in);
  }
  SendInput(static_cast<UINT>(ups.size()), ups.data(), sizeof(INPUT));
}

bool Win32Keyboard::Watching() {
  return watch_.Active();
}

bool Win32Keyboard::WaitWatched(uint32_t ms) {
  return watch_.WaitPassed(passedTarget_, ms);
}

bool Win32Keyboard::InputStageMoved() {
  LASTINPUTINFO last{};
  last.cbSize = sizeof last;
  if (!GetLastInputInfo(&last))
    return false;
  return static_cast<int32_t>(last.dwTime - insertedAt_) >= 0;
}

void Win32Keyboard::RenewWatch() {
  watch_.Renew();
}

KeysHandled Win32Keyboard::WaitHandled(uint32_t ms) {
  if (target_ == nullptr)
    return KeysHandled::Yes;  // no window had the focus: nothing takes the keys
  const DWORD start = GetTickCount();
  while (roundTrips_ <= inserted_) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= ms)
      return KeysHandled::NotYet;
    // A round trip that timed out leaves its message queued; it does not count, the next does.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(target_, WM_NULL, 0, 0, SMTO_NORMAL, ms - spent, &ignored))
      return IsWindow(target_) ? KeysHandled::NotYet : KeysHandled::WindowGone;
    ++roundTrips_;
  }
  return KeysHandled::Yes;
}

KeyTarget Win32Keyboard::Target() {
  if (targetProcess_ != nullptr && WaitForSingleObject(targetProcess_, 0) == WAIT_OBJECT_0)
    return KeyTarget::Ended;
  if (target_ != nullptr && IsWindow(target_) && IsHungAppWindow(target_))
    return KeyTarget::Hung;
  return KeyTarget::Alive;
}

}  // namespace focura::win32
