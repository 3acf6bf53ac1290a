#pragma once
// The modal prompt: a small dialog built in memory, centred on its owner.

#include <windows.h>

#include "ui/Prompt.h"

namespace focura::win32 {

// Control ids inside the prompt (the end-to-end driver answers it through them).
inline constexpr int kInputBoxTextId = 101;
inline constexpr int kInputBoxEditId = 102;

class InputBox : public Prompt {
 public:
  explicit InputBox(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  // The edit starts with `defaultText`, all of it selected. OK (the default button) returns the
  // edit's text; Cancel, Esc and the close box return "". The owner's events are held meanwhile.
  std::string Ask(const std::string& title, const std::string& text,
                  const std::string& defaultText) override;

 private:
  HWND owner_;
};

}  // namespace focura::win32
