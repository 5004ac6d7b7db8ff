#pragma once
// Reads and writes single registry values under the current user's root, addressed by
// a value path (see value_path.h). No handle is kept: every call opens and closes its key.

#include <cstdint>
#include <string>

// The REG_DWORD at `path`; `fallback` when the key or value is missing or not a REG_DWORD.
int32_t readNumber(const std::string& path, int32_t fallback = 0);

// A REG_SZ as stored, a REG_EXPAND_SZ expanded; empty for anything else.
std::string readText(const std::string& path);

// REG_DWORD; creates the key (and its parents) when needed. False when nothing was written.
bool writeNumber(const std::string& path, int32_t value);
// A real value is truncated toward zero first (1536.9 MB is stored as 1536).
bool writeNumber(const std::string& path, double value);

// REG_SZ holding the text and its terminating zero byte.
bool writeText(const std::string& path, const std::string& text);

// True when a value of that name exists, whatever its type.
bool valueExists(const std::string& path);

// Deletes the value; when there is none to delete, deletes the key named by the whole
// path instead (so a path ending in a backslash removes that key with its values).
bool deleteEntry(const std::string& path);
