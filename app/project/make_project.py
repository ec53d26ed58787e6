#!/usr/bin/env python3
"""Writes the application's project description (the JSON the image builder
reads): its classes, settings, pictures, menu bar and the four windows with
every control. Kept as a program because the windows are long lists of rows
that read better as tables than as JSON. The build runs it:

    make_project.py OUT.json PLUGIN.dll

Pictures are named relative to OUT.json (the build converts the PNGs of
app/art into PPM files there)."""
import json, os, sys

NONE = "-2147483648"

def window(name, cls, title, frame, width, height, *, back=False, backdrop="0", visible=True,
           close=False, grow=False, zoom=False, placement="0", mins=("0", "0"), maxs=("0", "0"),
           controls=()):
    props = [["Name", name], ["Frame", str(frame)], ["HasBackColor", str(back)],
             ["BackColor", "16777215"], ["Backdrop", backdrop], ["Title", title],
             ["Visible", str(visible)], ["CloseBox", str(close)], ["GrowIcon", str(grow)],
             ["ZoomIcon", str(zoom)], ["BalloonHelp", ""], ["MacProcID", "0"],
             ["Placement", placement], ["Width", str(width)], ["Height", str(height)],
             ["MinWidth", mins[0]], ["MinHeight", mins[1]], ["MaxWidth", maxs[0]], ["MaxHeight", maxs[1]]]
    return {"name": name, "class": cls, "properties": props, "controls": list(controls)}

def control(cls, name, geometry=None, **props):
    p = [["Name", name], ["Index", NONE]]
    if geometry:
        for key, value in zip(("Left", "Top", "Width", "Height"), geometry):
            p.append([key, str(value)])
    for key, value in props.items():
        p.append([key, value if isinstance(value, str) else str(value)])
    return {"class": cls, "properties": p}

def rows(*texts):
    return "".join(t + "\r" for t in texts)

def static(name, geometry, text, tab=0, size=12, font="System", **extra):
    return control("StaticText", name, geometry, Text=text, TabPanelIndex=tab, TextFont=font,
                   TextSize=size, **extra)

def popup(name, geometry, values, tab, font="System", size=12, cls="PopupMenu"):
    return control(cls, name, geometry, InitialValue=rows(*values), TabPanelIndex=tab, TextFont=font,
                   TextSize=size)

def check(name, geometry, caption, tab, font="System", size=12, value=False):
    return control("CheckBox", name, geometry, Caption=caption, Value=value, TabPanelIndex=tab,
                   TextFont=font, TextSize=size)

def timer(cls, name, period):
    return control(cls, name, None, Mode=0, Period=period)

main = window("Main", "Main", "Vellory Server", 0, 198, 19, close=True, grow=True,
              mins=("198", "19"), maxs=("1024", "768"), controls=[
    control("InputViewClass", "InputView", (-1, 20, 200, -15), Visible=False, LockLeft=True, LockTop=True,
            LockRight=True, LockBottom=True, TextFont="System", TextSize=12, Border=True,
            MultiLine=True, ScrollBar=True, AcceptTabs=True, Styled=False, Password=False,
            ReadOnly=False, UseFocusRing=False, LimitText=0, TextColor=0, BackColor=16777215),
    control("SerialClass", "SerialPort", None, Port=0, Baud=12, Bits=3, Parity=0, Stop=0, XON=True,
            CTS=True, DTR=True),
    timer("TimerProgressStartClass", "TimerProgressStart", 250),
    timer("TimerProgressStopClass", "TimerProgressStop", 1000),
    static("TextStatus", (21, 2, 159, 15), "Offline", size=10, LockLeft=True, LockTop=True),
    control("ProgressBar", "ProgressBar", (81, 4, 99, 12), Value=0, Maximum=100, LockLeft=True,
            LockTop=True),
    control("DisclosureTriangle", "ButtonToggleInputView", (3, 4, 12, 12), Value=False, Facing=0),
    timer("TimerKeyTyperClass", "TimerKeyTyper", 150),
    timer("TimerSerialClass", "TimerSerial", 150),
    timer("TimerAutosaveClass", "TimerAutosave", 2000),
    timer("TimerSendClass", "TimerSend", 10),
    timer("TimerReconnectClass", "TimerReconnect", 2000),
])

about = window("AboutView", "AboutView", "About View", 2, 575, 205, back=True, backdrop="6",
               placement="2", controls=[
    static("VersionText", (136, 3, 426, 30), "", size=10, TextAlign=2, MultiLine=True),
])

G = dict(font="Geneva", size=9)
# Detect's button, progress line and timer, the same in both windows that
# have a port popup (app/port_detect.h). The progress line's text is no
# smaller than 11: Wine draws Tahoma at 9 and 10 wider than it measures it,
# so a line wrapped to the width would be cut at its end.
def detect(cls, button, progress, tab, font, size, text_size):
    return [control(cls, "Button_Detect", button, Caption="Detect", TabPanelIndex=tab, TextFont=font,
                    TextSize=size),
            static("Text_Detect", progress, "", tab=tab, font=font, size=text_size, MultiLine=True)]

DETECT_TIMER = timer("DetectTimerClass", "Timer_Detect", 100)

prefs = window("PrefsView", "PrefsView", "Preferences", 1, 300, 336, controls=[
    control("ButtonCancelClass", "Button_Cancel", (154, 309, 60, 20), Caption="Cancel", Cancel=True,
            LockRight=True, LockBottom=True),
    control("ButtonSaveClass", "Button_Save", (227, 309, 60, 20), Caption="Save", Default=True,
            LockRight=True, LockBottom=True),
    control("TabPanel", "TabPanel1", (2, 3, 296, 299),
            TabDefinition="General\u0000Game Mode\u0000Connection", LockLeft=True, LockTop=True,
            LockRight=True, LockBottom=True),
    static("StaticText2", (13, 44, 134, 16), "Connecting to:", tab=1),
    popup("Menu_TextEncoder", (112, 43, 175, 20), ["Palm OS", "Newton OS", "Windows CE"], 1),
    control("Separator", "Separator1", (13, 72, 274, 4), TabPanelIndex=1),
    check("CheckBox_AutoConnect", (13, 84, 260, 20), "Connect on startup", 1),
    check("CheckBox_ShowProgressBar", (13, 109, 266, 20), "Show progress", 1),
    static("StaticText1", (13, 134, 134, 16), "Return/Enter sends:", tab=1),
    popup("Menu_ReturnType", (148, 133, 139, 20), ["Carriage Return", "Linefeed", "LF/CR"], 1),
    check("Checkbox_EnableKeyRepeat", (13, 41, 260, 20), "Enable Key Repeat", 2),
    static("Text_Port", (31, 43, 66, 16), "Connect via:", tab=3, **G),
    popup("Menu_Port", (112, 43, 111, 20), [], 3, cls="PortMenuClass", **G),
    *detect("PrefsDetectButtonClass", (229, 43, 55, 20), (31, 68, 253, 42), 3, "Geneva", 9, 11),
    control("GroupBox", "SetupBox", (20, 114, 264, 176), Caption="Setup", Bold=True, TabPanelIndex=3,
            TextFont="Geneva", TextSize=9),
    static("Text_Baud", (31, 141, 66, 16), "Speed:", tab=3, **G),
    popup("Menu_Baud", (112, 141, 111, 20), ["300", "600", "1200", "1800", "2400", "3600", "4800", "7200",
                                           "9600", "14400", "19200", "28800", "38400", "57600"], 3, **G),
    static("Text_Bits", (31, 165, 66, 16), "Data bits:", tab=3, **G),
    popup("Menu_Bits", (112, 165, 111, 20), ["5", "6", "7", "8"], 3, **G),
    static("Text_Parity", (31, 189, 66, 16), "Parity:", tab=3, **G),
    popup("Menu_Parity", (112, 189, 111, 20), ["None", "Even", "Odd"], 3, **G),
    static("Text_Stop", (31, 213, 66, 16), "Stop bits:", tab=3, **G),
    popup("Menu_StopBits", (112, 213, 111, 20), ["1", "1.5", "2"], 3, **G),
    static("Text_Flow", (31, 239, 66, 16), "Flow control:", tab=3, **G),
    check("Checkbox_XON", (112, 237, 91, 20), "XON/XOFF", 3, **G),
    check("Checkbox_CTS", (112, 259, 40, 20), "CTS", 3, **G),
    check("Checkbox_DTR", (175, 259, 48, 20), "DTR", 3, **G),
    DETECT_TIMER,
])

setup = window("SetupAssistantView", "SetupAssistantView", "Vellory Setup Assistant", 2, 400, 424,
               back=True, backdrop="9", close=True, grow=True, zoom=True, controls=[
    static("StaticText1", (136, 234, 103, 16), "My Desktop OS:", TextAlign=2),
    popup("PopupDesktop", (244, 233, 143, 17), ["Choose...", "Mac OS", "Windows"], 0),
    static("StaticText2", (137, 262, 102, 19), "My Handheld OS:", TextAlign=2),
    popup("PopupHandheld", (244, 262, 143, 20), ["Choose...", "Palm OS", "Newton OS", "Windows CE"], 0),
    static("StaticText3", (122, 294, 117, 19), "Serial Port To Use:", TextAlign=2),
    popup("PopupSerial", (244, 294, 82, 20), ["Choose..."], 0, cls="SerialMenuClass"),
    *detect("SetupDetectButtonClass", (332, 294, 55, 20), (13, 352, 308, 58), 0, "System", 12, 12),
    check("CheckAutoConnect", (157, 325, 230, 20), "Automatically connect at startup", 0),
    control("SetupButtonClass", "PushButton1", (327, 391, 60, 20), Caption="Setup", Default=True),
    DETECT_TIMER,
])

def item(text, name="", key="", help="", disabled="", cls=None, items=None, kind=None):
    entry = {"text": text}
    if name: entry["name"] = name
    if key: entry["key"] = key
    if help: entry["help"] = help
    if disabled: entry["disabledHelp"] = disabled
    if cls: entry["class"] = cls
    if items is not None: entry["items"] = items
    if kind is not None: entry["kind"] = kind
    return entry

SLOT = {"text": "", "kind": 2}
menus = [
    {"text": "", "kind": 1, "items": [item("About &Vellory...", "AppleAboutVellory"),
                                       item("Visit Web &Site", "AppleVisitWebSite")]},
    {"text": "&File", "name": "File", "items": [
        item("&Connect", "FileConnect", "K"),
        item("&Send", "FileSend", items=[
            item("Text &File...", "FileSendFile", "T", help="Sends a text file to your Newton."),
            item("-"),
            item("&Writing Window", "FileSendInputView", "Shift-T"),
            item("&Clipboard", "FileSendClipboard", "Shift-V")]),
        item("S&top Sending", "FileStopSending"),
        item("-"),
        item("Save Writing Window &As...", "FileSaveInputViewAs", "S", disabled=
             "Saves the text of the Writing Window to a text file. Not available because the "
             "Vellory Writing Window is hidden or there is no text."),
        item("-"),
        item("&Game Mode", "FileActivateGameMode", "G"),
        item("Show W&riting Window", "FileShowInputView", "E"),
        item("-"),
        item("E&xit", "FileQuit", "Q", cls="QuitMenuItem"),
        SLOT]},
    {"text": "&Edit", "name": "Edit", "items": [
        item("&Undo", "EditUndo", "Z"),
        item("-"),
        item("Cu&t", "EditCut", "X"),
        item("&Copy", "EditCopy", "C"),
        item("&Paste", "EditPaste", "V"),
        item("Cle&ar", "EditClear"),
        item("Select A&ll", "EditSelectAll", "A", disabled=
             "Selects the entire contents of the Vellory Writing Window. Not available because the "
             "Vellory Writing Window is hidden or there is no text."),
        item("-"),
        item("P&references...", "EditPreferences", "/"),
        SLOT]},
    {"text": "&Help", "name": "Help", "items": [
        item("Online &Documentation", "HelpOnlineDocumentation"),
        SLOT,
        item("About &Vellory...", "AppleAboutVellory"),
        item("Visit Web &Site", "AppleVisitWebSite"),
        SLOT]},
    SLOT,
]

MAIN_METHODS = ["Connect", "Disconnect", "Send", "Receive", "ViewUpdate", "ViewExpand", "IsConnected",
                "ProcessData", "StatusUpdate", "ProcessCommand", "PrefsLoad", "PrefsSave",
                "PrefsDefault", "SetStatus", "ReceiveGameKey", "InGameMode", "ToggleGameMode",
                "DisplayWelcomeMessage", "EncodeText", "PrefsCheckVersion"]
MAIN_MENUS = ["AppleAboutVellory", "EditPreferences", "FileConnect", "FileSendClipboard", "FileStopSending",
              "EditSelectAll", "FileShowInputView", "FileSendInputView", "FileSendFile", "FileSaveInputViewAs",
              "FileActivateGameMode", "AppleVisitWebSite", "HelpOnlineDocumentation"]
PREF_METHODS = ["Init", "SetPrefFileName", "GetPrefFileName", "PrefLocation", "Read", "Write", "Get",
                "Put", "FindPrefIndex", "Exists", "Clear", "PutBoolean", "PutDouble", "PutInteger",
                "PutString", "PutDate", "PutColor", "PutFolderItem", "GetBoolean", "GetDouble",
                "GetInteger", "GetString", "GetDate", "GetColor", "GetFolderItem", "Delete",
                "DeleteNth", "NumPrefs", "GetNthName", "GetNthValue", "SetNthValue", "AppendValue",
                "EncodePreference", "DecodePreference", "EncodeString", "DecodeString", "EncodedChar",
                "DecodedChar"]

def handler(event, code):
    return {"event": event, "code": code}

def action_class(name, super_, code, event="Action"):
    return {"name": name, "super": super_, "handlers": [handler(event, code)]}

fields = lambda *pairs: [{"name": n, "type": t} for n, t in pairs]
classes = [
    {"name": "App", "super": "Application"},
    {"name": "Globals", "fields": fields(("AutoConnect", "bool"), ("ShowInputView", "bool"),
        ("ShowProgressBar", "bool"), ("X", "int32"), ("Y", "int32"), ("Width", "int32"),
        ("Height", "int32"), ("Prefs", "object"), ("LastGameKey", "string"), ("GameMode", "bool"),
        ("EnableKeyRepeat", "bool"), ("ReturnType", "int32"), ("ShowToolbar", "bool"),
        ("FirstRun", "bool"), ("TextEncoder", "int32"))},
    {"name": "Main", "super": "Window", "fields": fields(("Connected", "bool"), ("Status", "int32")),
     "methods": [{"name": m, "code": "Main_" + m} for m in MAIN_METHODS],
     "handlers": [handler(e, "Main_" + e)
                  for e in ("Open", "Close", "CancelClose", "Resized", "Moved", "EnableMenuItems",
                            "EndSession", "KeyDown")],
     "menuHandlers": [{"item": m, "code": "Main_" + m} for m in MAIN_MENUS]},
    {"name": "AboutView", "super": "Window",
     "handlers": [handler("Open", "AboutView_Open"), handler("MouseDown", "AboutView_MouseDown"),
                  handler("Close", "AboutView_Close")]},
    {"name": "PrefsView", "super": "Window",
     "methods": [{"name": "LoadPreferences", "code": "PrefsView_LoadPreferences"},
                 {"name": "SavePreferences", "code": "PrefsView_SavePreferences"}],
     "handlers": [handler("Open", "PrefsView_Open"), handler("Close", "PrefsView_Close")]},
    {"name": "SetupAssistantView", "super": "Window",
     "methods": [{"name": "Setup", "code": "SetupAssistantView_Setup"}],
     "handlers": [handler("Open", "SetupAssistantView_Open"),
                  handler("Close", "SetupAssistantView_Close")]},
    {"name": "SerialClass", "super": "Serial", "fields": fields(("Buffer", "string")),
     "methods": [{"name": "CheckSerial", "code": "SerialClass_CheckSerial"},
                 {"name": "ClearBuffer", "code": "SerialClass_ClearBuffer"}],
     "handlers": [handler("DataAvailable", "SerialClass_DataAvailable")]},
    {"name": "PrefContainer", "super": "Object",
     "fields": fields(("PrefFileName", "string"), ("Names", "pointer"), ("Values", "pointer"),
                      ("Count", "int32"), ("Keys", "pointer"), ("Slots", "pointer")),
     "constructor": "PrefContainer_Construct", "destructor": "PrefContainer_Destruct",
     "methods": [{"name": m, "code": "PrefContainer_" + m} for m in PREF_METHODS]},
    action_class("TimerSerialClass", "Timer", "TimerSerial_Action"),
    action_class("TimerKeyTyperClass", "Timer", "TimerKeyTyper_Action"),
    action_class("TimerProgressStartClass", "Timer", "TimerProgressStart_Action"),
    action_class("TimerProgressStopClass", "Timer", "TimerProgressStop_Action"),
    action_class("TimerAutosaveClass", "Timer", "TimerAutosave_Action"),
    {"name": "InputViewClass", "super": "EditField",
     "handlers": [handler("TextChange", "InputView_TextChange"), handler("KeyDown", "InputView_KeyDown")]},
    action_class("TimerSendClass", "Timer", "TimerSend_Action"),
    action_class("TimerReconnectClass", "Timer", "TimerReconnect_Action"),
    action_class("ButtonCancelClass", "PushButton", "ButtonCancel_Action"),
    action_class("ButtonSaveClass", "PushButton", "ButtonSave_Action"),
    action_class("SetupButtonClass", "PushButton", "SetupButton_Action"),
    action_class("PortMenuClass", "PopupMenu", "PortMenu_Open", "Open"),
    action_class("SerialMenuClass", "PopupMenu", "SerialMenu_Open", "Open"),
    action_class("PrefsDetectButtonClass", "PushButton", "PrefsDetectButton_Action"),
    action_class("SetupDetectButtonClass", "PushButton", "SetupDetectButton_Action"),
    action_class("DetectTimerClass", "Timer", "DetectTimer_Action"),
    {"name": "DisclosureTriangle", "plugin": True, "dataSize": 12},
    {"name": "Separator", "plugin": True},
    {"name": "Date", "builtIn": True},
    {"name": "Clipboard", "builtIn": True},
]

settings = {"type": "settings", "optionFlag": 1, "languageCode": 1, "title": "Vellory Server",
            "fileTypes": [["text/plain", "????", "TEXT", ".ascii;.text;.txt"],
                          ["text/html", "????", "TEXT", ".html;.html"], ["", "", "", ""]],
            "messages": ["", "", "", "",
                         "An exception of class %1 was not handled.\rThe application must shut down."]}

# Items are numbered from 1 in this order; the windows' stored Backdrop
# values 6 and 9 name the About and setup pictures.
items = [
    {"type": "module", "class": "Globals"},                      # 1
    settings,                                                    # 2
    {"type": "menubar", "menus": menus},                         # 3
    {"type": "picture", "file": "art/icon-connected.ppm"},       # 4
    {"type": "picture", "file": "art/icon-offline.ppm"},         # 5
    {"type": "picture", "file": "art/about.ppm"},                # 6
    {"type": "picture", "file": "art/icon-handheld.ppm"},        # 7
    {"type": "picture", "file": "art/icon-desktop.ppm"},         # 8
    {"type": "picture", "file": "art/setup.ppm"},                # 9
]

project = {"entry": "VelloryEntry", "classes": classes, "items": items,
           "windows": [main, about, prefs, setup]}

def main(out_path, plugin):
    project["plugins"] = [plugin]
    with open(out_path, "w") as out:
        json.dump(project, out, indent=1)
        out.write("\n")

if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make_project.py OUT.json PLUGIN.dll")
    main(sys.argv[1], sys.argv[2])
