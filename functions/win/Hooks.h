#pragma once
// The system-wide low-level keyboard and mouse hooks over the process's CHookState.
//
// Call everything from the user-interface thread: the hooks are installed for all threads but
// their procedures run on the thread that installed them, inside its message loop. The
// procedures only consult CHookState, post the messages its decision lists (2027 to the target,
// 1034 while forwarding) and swallow what it says; they allocate nothing, take no lock and do
// constant work per event.

#include <windows.h>

namespace n640 {

// target = home = window, then installs the low-level keyboard and mouse hooks (module of the
// program, all threads). Installing again while installed replaces the pair, so that no event is
// ever seen twice. True when both hooks are in place.
bool InstallHooks(HWND window);
// Unhooks both; harmless when they are not installed.
void RemoveHooks();
bool HooksInstalled();

// The window that receives the hooks' messages from now on (a capturing page).
void SetTarget(HWND window);
// Key and mouse forwarding as message 1034; with keys off the target returns home unless mouse
// forwarding stays on.
void SetForwarding(bool keys, bool mouse);
// Posting of presses and wheel steps that are not intercepted (message 2027).
void SetClickPosting(bool clicks);
// Both capture switches off and the target back home: what hiding or minimising the main window
// does, whichever page was capturing.
void ResetCapture();

} // namespace n640
