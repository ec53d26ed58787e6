// The names of the runtime's own Win32 window classes. Registration, creation
// and the checks that tell the runtime's windows from others must agree on
// them, and tools that drive the program find its windows by them.
#pragma once

inline constexpr char kWindowClassName[] = "ZBWindow";           // an application window
inline constexpr char kPaneClassName[] = "ZB_Pane";              // a pane the runtime draws
inline constexpr char kFrameClassName[] = "ZBFrame";             // the multiple-document frame
inline constexpr char kPluginPaneClassName[] = "ZB_PluginPane";  // a plug-in control's pane
