#pragma once
// Every command text the tool sends to the Z server.

#include <cstdint>
#include <string>

#include "text/NumberText.h"

namespace focura::zcmd {

// x with the pattern "0.0000" in the regional decimal separator.
std::string F(double x, const NumberText& num);
// i preceded by a blank when i >= 0, by its minus sign when negative.
std::string S(int32_t i);

inline const std::string kShow = "Show";
inline const std::string kHide = "Hide";
inline const std::string kJoyOn = "Joy On";
inline const std::string kUnload = "Unload";
inline const std::string kWhere = "Z ?";
inline const std::string kObjGetNum = "Obj GetNum";
inline const std::string kProbeController = "CON /2&";
inline const std::string kTriggerOn = "CON /2J1R";
inline const std::string kTriggerOff = "CON /2J0R";
// What a reply to kProbeController must contain when the controller is present (case-sensitive).
inline const std::string kControllerMark = "EZStepper";

// "Z " & F(z) & " ; Z Wait ;"
std::string MoveTo(double z, const NumberText& num);
// "Z Rel " & F(d) & " ; Z Wait ;"
std::string MoveBy(double d, const NumberText& num);
// "Obj Get" & S(i)
std::string ObjGet(int32_t i);

}  // namespace focura::zcmd
