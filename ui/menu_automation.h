// What the menus show, for tools outside the program. Windows lets another
// process read a window's menu; Wine does not, so the UI driver asks the
// program itself: a WM_COPYDATA carrying kMenuStateRequest (its wParam the
// asking window) makes the window run the enabling cycle, as opening a menu
// does, and send one line per menu item back to the asking window in a
// WM_COPYDATA carrying kMenuStateReport.
//
// The program answers only when the tests switch it on (the environment
// variable VELLORY_UI_TEST_HOOKS set to 1 when it starts), and the answer
// only reads: it writes no file and changes nothing. Choosing an item needs
// no switch; the driver does it as a user does.
#pragma once
#include <windows.h>

#include <string>

// "VSMS": the dwData of the request; "VSMR": of the report sent back.
constexpr ULONG_PTR kMenuStateRequest = 0x564D5353;
constexpr ULONG_PTR kMenuStateReport = 0x564D5352;

// The report: per item, in menu order, "menu|name|text|enabled|checked|help|
// disabled help" (menu = the text of the item's menu's own item, "" at the
// top; enabled and checked as 0 or 1). Line ends are LF.
std::string MenuStateReport();

// "VELLORY_UI_TEST_HOOKS": the switch, read once, at the first request.
constexpr char kTestHooksSwitch[] = "VELLORY_UI_TEST_HOOKS";

// Handles the request from `requester`; false when `data` is not one, the
// switch is off, or `requester` is no window.
bool AnswerMenuStateRequest(HWND requester, const COPYDATASTRUCT* data);
