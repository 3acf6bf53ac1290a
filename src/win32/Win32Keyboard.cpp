#include "win32/Win32Keyboard.h"

#include <string>
#include <vector>

#include "win32/ErrorText.h"
#include "win32/KeyInput.h"
#include "win32/Owned.h"

namespace focura::win32 {

std::optional<uint32_t> ProcessIntegrity(HANDLE process) {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &opened))
    return std::nullopt;
  const UniqueHandle owned(opened);
  HANDLE token = owned.get();
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
  return level;
}

std::optional<uint32_t> Win32Keyboard::OwnIntegrity() {
  return ProcessIntegrity(GetCurrentProcess());
}

std::optional<uint32_t> Win32Keyboard::FocusIntegrity(bool& focusIsOwn) {
  DWORD pid = 0;
  if (HWND front = GetForegroundWindow())
    GetWindowThreadProcessId(front, &pid);
  // No window in front: the keys go nowhere, as they would for this program itself.
  focusIsOwn = pid == 0 || pid == GetCurrentProcessId();
  if (focusIsOwn)
    return OwnIntegrity();
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process)
    return std::nullopt;
  return ProcessIntegrity(process.get());
}

bool Win32Keyboard::Insert(const KeyStrokes& keys, std::string& failure) {
  std::vector<INPUT> inputs = KeyInputs(keys);
  for (INPUT& in : inputs)
    in.ki.dwExtraInfo = kKeyTag;
  target_ = GetForegroundWindow();
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

bool Win32Keyboard::WaitProcessed(uint32_t ms) {
  const DWORD start = GetTickCount();
  const auto left = [&]() -> DWORD {
    const DWORD spent = GetTickCount() - start;
    return spent >= ms ? 0 : ms - spent;
  };
  if (watch_.Active() && !watch_.WaitPassed(passedTarget_, left()))
    return false;
  if (target_ == nullptr)
    return true;
  for (UINT i = 0; i <= inserted_; ++i) {
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(target_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, left(), &ignored))
      return !IsWindow(target_);  // a window that went away has nothing left to handle
  }
  return true;
}

}  // namespace focura::win32
