#include "platform/gbk_text.h"

#include <windows.h>

std::wstring gbkToWide(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int length = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), int(gbk.size()), nullptr, 0);
  std::wstring wide(size_t(length), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), int(gbk.size()), wide.data(), length);
  return wide;
}

std::string wideToGbk(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length =
      WideCharToMultiByte(kGbkCodePage, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string gbk(size_t(length), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, wide.data(), int(wide.size()), gbk.data(), length, nullptr, nullptr);
  return gbk;
}
