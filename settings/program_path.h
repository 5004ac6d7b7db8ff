#pragma once
// The program's own path as the start-with-Windows entry holds it.

#include <string>
#include <string_view>

// One pass, left to right, replacing each "\\" by "\" without overlap (three in a row
// become two); double-byte characters are copied whole, so their second byte is never
// part of a match.
std::string collapseDoubledBackslashes(std::string_view path);

// The module file name split into directory and file name, joined again with one
// backslash, doubled backslashes collapsed.
std::string programPathFromModulePath(std::string_view modulePath);

// The Run value's data. A path with a space is quoted: unquoted, Windows would try
// "C:\Program.exe" first for "C:\Program Files\...". Other paths are stored bare.
std::string runEntryText(std::string_view programPath);
