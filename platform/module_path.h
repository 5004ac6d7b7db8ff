#pragma once

#include <string>

// The full path of the running program's file, never truncated (GBK bytes).
std::string modulePath();
