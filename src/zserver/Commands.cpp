#include "zserver/Commands.h"

namespace focura::zcmd {

std::string F(double x, const NumberText& num) {
  return num.Format4(x);
}

std::string S(int32_t i) {
  return i >= 0 ? " " + std::to_string(i) : std::to_string(i);
}

std::string MoveTo(double z, const NumberText& num) {
  return "Z " + F(z, num) + " ; Z Wait ;";
}

std::string MoveBy(double d, const NumberText& num) {
  return "Z Rel " + F(d, num) + " ; Z Wait ;";
}

std::string ObjGet(int32_t i) {
  return "Obj Get" + S(i);
}

}  // namespace focura::zcmd
