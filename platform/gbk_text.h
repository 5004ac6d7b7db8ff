#pragma once
// The program's texts are GBK bytes; what reaches the screen is decoded with code page
// 936 and drawn through the wide functions, so it shows right whatever the system's
// ANSI code page is.

#include <string>
#include <string_view>

inline constexpr unsigned kGbkCodePage = 936;

std::wstring gbkToWide(std::string_view gbk);
std::string wideToGbk(std::wstring_view wide);
