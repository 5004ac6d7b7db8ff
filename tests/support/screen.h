#pragma once
// Test support for Windows tests under Wine on a (virtual) X display: runs host programs
// (xdotool for real input, import for screenshots) and waits while pumping this
// thread's messages, so the windows under test keep working meanwhile.

#include <functional>
#include <string>

#include "platform/picture.h"

namespace screen {

// Runs a shell command on the host (Linux) side and waits for it, dispatching messages.
// True when it exited with status 0 within the timeout.
bool runHost(const std::string& shellCommand, int timeoutMs = 15000);

// Dispatches this thread's messages for the given time.
void pump(int ms);

// Dispatches messages until `done` holds or the timeout passes; returns `done()`.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// What the display shows now (through the compositor), or a part of it.
Picture capture();
Picture capture(int x, int y, int width, int height);

// Real input through the X server. Buttons: 1 left, 2 middle, 3 right, 4/5 wheel.
void moveMouse(int x, int y);
void click(int x, int y, int button = 1);
void doubleClick(int x, int y, int button = 1);
void pressKey(const std::string& xdotoolKeyName);
void typeText(const std::string& text);

}  // namespace screen
