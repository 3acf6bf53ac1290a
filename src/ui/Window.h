#pragma once

#include <string>

#include "ui/Controls.h"

namespace focura {

// The main window as the core sees it: its controls and menu items by the table's `Control`.
class Window {
 public:
  virtual ~Window() = default;
  // Text of a text box (or caption of a label).
  virtual std::string GetText(Control control) = 0;
  // Replaces the text of a text box or the caption of a label.
  virtual void SetText(Control control, const std::string& text) = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual void SetChecked(Control menuItem, bool checked) = 0;
  // The tooltip of a control: for the status line, what lies behind its current text (a
  // refusal's reason), dropped at its next text; "" for none.
  virtual void SetTip(Control control, const std::string& text) = 0;
  // Lets the window's pending events run once; their handlers may nest inside the caller.
  // Throws WindowClosed when the window was closed meanwhile.
  virtual void Pump() = 0;
};

inline constexpr Control kStatusLine = Control::lblMsg;
// "Acquire Z Stack", whose tooltip shows the run as it would go now.
inline constexpr Control kRunButton = Control::cmdFocura;

}  // namespace focura
