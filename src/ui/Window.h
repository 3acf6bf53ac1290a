#pragma once

#include <string>

namespace focura {

// The main window as the core sees it. Controls and menu items are addressed by their names
// ("lblMsg", "txtStepSize", "cmdFocura", "mnuHWT").
class Window {
 public:
  virtual ~Window() = default;
  // Text of a text box (or caption of a label).
  virtual std::string GetText(const std::string& control) = 0;
  // Replaces the text of a text box or the caption of a label.
  virtual void SetText(const std::string& control, const std::string& text) = 0;
  virtual void SetEnabled(const std::string& control, bool enabled) = 0;
  virtual void SetChecked(const std::string& menuItem, bool checked) = 0;
  // The tooltip of a control: for the status line, what lies behind its current text (a
  // refusal's reason), dropped at its next text; "" for none.
  virtual void SetTip(const std::string& control, const std::string& text) = 0;
  // Lets the window's pending events run once; their handlers may nest inside the caller.
  // Throws WindowClosed when the window was closed meanwhile.
  virtual void Pump() = 0;
};

inline const std::string kStatusLine = "lblMsg";
// "Acquire Z Stack", whose tooltip shows the run as it would go now.
inline const std::string kRunButton = "cmdFocura";

}  // namespace focura
