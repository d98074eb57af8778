#pragma once
// Looking at and driving the windows of another process from a test.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vlmr::wintest {

// Wine starts a process in a second or two; these only catch a hang.
inline constexpr DWORD kWindowTimeoutMs = 30000;
inline constexpr DWORD kExitTimeoutMs = 30000;

std::wstring WindowTitle(HWND window);
std::wstring WindowClass(HWND window);

// Top-level windows owned by a process (0: every process), visible ones only if asked.
std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly);

// A message box ("#32770" dialog) with this title, or nullptr.
HWND FindMessageBox(DWORD processId, const std::wstring& title);
// The text of a message box, as its static text control holds it.
std::wstring MessageBoxText(HWND box);
// Presses the box's OK button.
bool PressOk(HWND box);

// The child window (at any depth) with this control id, or nullptr.
HWND ChildWithId(HWND window, int id);

// A visible top-level window with this exact title that is not a dialog box.
HWND FindTitledWindow(DWORD processId, const std::wstring& title);
// The visible banner of a process, by its class: it has no title to go by.
HWND FindBanner(DWORD processId);

// Which standard icon a message box shows ("warning", "error", "information",
// "question"; "none" or "unreadable"), read back from the screen: the icon
// control's pixels against each standard icon drawn here. Only the pixels an
// icon covers fully count, so the background does not matter.
std::string ShownIcon(HWND box);

SIZE ClientSize(HWND window);
RECT ClientRectOnScreen(HWND window);

// Polls probe until it yields a window or the time runs out.
HWND WaitForWindow(const std::function<HWND()>& probe, DWORD timeoutMs);

}  // namespace vlmr::wintest
