// What the menus show, for tools outside the program. Windows lets another
// process read a window's menu; Wine does not, so the UI driver asks the
// program itself: a WM_COPYDATA carrying kMenuStateRequest and a file path
// makes the window run the enabling cycle, as opening a menu does, and write
// one line per menu item to that file.
//
// The request lets another process write a file of its choosing, so the
// program answers it only when the tests switch it on: the environment
// variable VELLORY_UI_TEST_HOOKS set to 1 when the program starts.
#pragma once
#include <windows.h>

#include <string>

// "VSMS": the dwData of the request.
constexpr ULONG_PTR kMenuStateRequest = 0x564D5353;

// The report: per item, in menu order, "menu|name|text|enabled|checked|help|
// disabled help" (menu = the text of the item's menu's own item, "" at the
// top; enabled and checked as 0 or 1). Line ends are LF.
std::string MenuStateReport();

// "VELLORY_UI_TEST_HOOKS": the switch, read once, at the first request.
constexpr char kTestHooksSwitch[] = "VELLORY_UI_TEST_HOOKS";

// Handles the request; false when `data` is not one or the switch is off.
bool AnswerMenuStateRequest(const COPYDATASTRUCT* data);
