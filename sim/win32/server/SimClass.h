#pragma once
// The simulator's COM class: a CLSID of its own, registered under the Z server's ProgID.

#include <windows.h>

#include <oaidl.h>

namespace zsim::win32 {

// {1BF51BFE-5151-4C5F-BB21-3AF8F0298408}
inline constexpr CLSID kSimClsid = {
    0x1bf51bfe, 0x5151, 0x4c5f, {0xbb, 0x21, 0x3a, 0xf8, 0xf0, 0x29, 0x84, 0x08}};
inline constexpr const wchar_t* kSimClsidText = L"{1BF51BFE-5151-4C5F-BB21-3AF8F0298408}";
inline constexpr const wchar_t* kSimProgId = L"Hoistra.HoistraCmd";
inline constexpr const wchar_t* kSimDescription = L"Z server simulator";
inline constexpr DISPID kExecDispId = 1;

}  // namespace zsim::win32
