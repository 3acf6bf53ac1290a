#include "Screenshot.h"

#include <stdexcept>
#include <vector>

#include "win32/Owned.h"

namespace focura::check {

void SaveScreenRect(const RECT& rect, const std::wstring& path) {
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0)
    throw std::runtime_error("nothing to take a picture of (empty rectangle)");
  const focura::win32::UniqueWindowDc screenDc(nullptr);
  HDC screen = screenDc.get();
  HDC memory = CreateCompatibleDC(screen);
  const focura::win32::UniqueBitmap owned(CreateCompatibleBitmap(screen, w, h));
  HBITMAP bitmap = owned.get();
  HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied = BitBlt(memory, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY) != 0;
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;  // bottom-up, as a BMP file stores its rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * h);
  const bool read = copied && GetDIBits(memory, bitmap, 0, h, pixels.data(),
                                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == h;
  DeleteDC(memory);
  if (!read)
    throw std::runtime_error("the screen could not be read");

  BITMAPFILEHEADER file{};
  file.bfType = 0x4d42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  focura::win32::UniqueFile outFile(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  HANDLE out = outFile.get();
  if (!outFile)
    throw std::runtime_error("the picture could not be written beside the report");
  DWORD written = 0;
  bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
            WriteFile(out, &info, sizeof info, &written, nullptr) &&
            WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
  outFile.reset();
  if (!ok)
    throw std::runtime_error("the picture could not be written beside the report");
}

void SaveWindowPicture(HWND window, const std::wstring& path) {
  RECT r{};
  GetWindowRect(window, &r);
  SaveScreenRect(r, path);
}

}  // namespace focura::check
