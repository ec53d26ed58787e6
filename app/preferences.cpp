// The main window's settings: loaded once at start over the built-in
// defaults, kept in the serial control and the Globals module while the
// program runs, and written back on every save. Also the welcome text the
// setup assistant leaves in the Writing Window.
//
// The file holds the user's text, so it is never lost quietly: a save that
// fails leaves the old file whole and says so once; a file that is there
// but cannot be read (to its end) is moved aside before anything is saved
// over it, under a name no earlier such file has. A file that another
// program holds is waited for a moment, and when it stays held it is left
// where it is and not saved over in this run.
#include VS_PROJECT_HEADER

#include "app/autosave.h"
#include "app/globals.h"
#include "app/pref_container.h"
#include "app/pref_names.h"

namespace {

using vs::Ref;
using vs::String;

VS_STRING(kPrefFile, "Vellory Prefs");
VS_STRING(kBaud, "Baud");
VS_STRING(kBits, "Bits");
VS_STRING(kParity, "Parity");
VS_STRING(kStop, "Stop");
VS_STRING(kXON, "XON");
VS_STRING(kCTS, "CTS");
VS_STRING(kDTR, "DTR");
VS_STRING(kShowInputView, "ShowInputView");
VS_STRING(kShowProgressBar, "ShowProgressBar");
VS_STRING(kEnableKeyRepeat, "EnableKeyRepeat");
VS_STRING(kReturnType, "ReturnType");
VS_STRING(kShowToolbar, "ShowToolbar");
VS_STRING(kTextEncoder, "TextEncoder");
VS_STRING(kX, "X");
VS_STRING(kY, "Y");
VS_STRING(kWidth, "Width");
VS_STRING(kHeight, "Height");
VS_STRING(kInputViewKey, "InputView");
VS_STRING(kVersion, "Version");
VS_STRING(kCR, "\r");
VS_STRING(kAsideSuffix, ".unreadable");
VS_STRING(kSaveFailed, "The preferences could not be saved to ");
VS_STRING(kReadFailed, "The preferences in ");
VS_STRING(kCouldNotBeRead, " could not be read");
VS_STRING(kStartsWithDefaults, ", so the program starts with the standard settings. ");
VS_STRING(kKeptAs, "The file was kept as ");
VS_STRING(kLeftAlone, "The file is left as it is, and nothing will be saved over it.");
VS_STRING(kNotSavedOver,
          "it could not be read when the program started, so nothing is saved over it");
VS_STRING(kSpace, " ");
VS_STRING(kColon, ": ");
VS_STRING(kFullStop, ".");
VS_STRING(kReasonOpen, " (");
VS_STRING(kReasonClose, ")");
VS_STRING(kCRLF, "\r\n");

VS_STRING(kWelcomeConnected,
          "Congratulations! You've properly configured the Vellory Server. To get started:\r"
          "\r"
          "1. Plug your handheld into the serial port on your desktop.\r"
          "2. Start writing to enjoy the benefits of handwriting recognition!");
VS_STRING(kWelcomePortBusy,
          "Congratulations! You've properly configured the Vellory Server.\r"
          "\r"
          "However, the serial port you specified in already use. Applications such as "
          "communications or connectivity software may be using the port.\r"
          "\r"
          "You can either quit those applications or choose another serial port to use from "
          "Edit->Preferences->Connection.");
VS_STRING(kWelcomeOffline,
          "Congratulations! You've properly configured the Vellory Server. To get started:\r"
          "\r"
          "1. Plug your handheld into the serial port on your desktop.\r"
          "2. Choose File->Connect on your desktop and Connect on your handheld.\r"
          "3. Start writing to enjoy the benefits of handwriting recognition!");

// A Boolean setting between the container and a field.
struct BoolSetting {
  StringRecord* key;
  uint32_t offset;
};
// The Globals fields the file carries, in the order they are saved.
const BoolSetting kGlobalBooleans[] = {
    {&kShowInputView, G::kShowInputView},
    {&kShowProgressBar, G::kShowProgressBar},
    {&kAutoConnect, G::kAutoConnect},
    {&kEnableKeyRepeat, G::kEnableKeyRepeat},
};

void PutInt(StringRecord* key, int32_t value) { PrefContainer_PutInteger(Prefs(), key, value); }
void PutBool(StringRecord* key, bool value) { PrefContainer_PutBoolean(Prefs(), key, value); }
int32_t GetInt(StringRecord* key) { return PrefContainer_GetInteger(Prefs(), key); }
bool GetBool(StringRecord* key) { return PrefContainer_GetBoolean(Prefs(), key); }

void LoadSerialSettings() {
  SerialObject* line = SerialSettings();
  line->port = static_cast<int16_t>(GetInt(&kPort));
  line->baud = static_cast<int16_t>(GetInt(&kBaud));
  line->bits = static_cast<int16_t>(GetInt(&kBits));
  line->parity = static_cast<int16_t>(GetInt(&kParity));
  line->stop = static_cast<int16_t>(GetInt(&kStop));
  line->xon = GetBool(&kXON);
  line->cts = GetBool(&kCTS);
  line->dtr = GetBool(&kDTR);
}

void LoadGlobals() {
  for (const BoolSetting& s : kGlobalBooleans) Global<bool>(s.offset) = GetBool(s.key);
  Global<int32_t>(G::kReturnType) = GetInt(&kReturnType);
  Global<bool>(G::kShowToolbar) = GetBool(&kShowToolbar);
  Global<int32_t>(G::kTextEncoder) = GetInt(&kTextEncoder);
  Global<int32_t>(G::kX) = GetInt(&kX);
  Global<int32_t>(G::kY) = GetInt(&kY);
  Global<int32_t>(G::kWidth) = GetInt(&kWidth);
  Global<int32_t>(G::kHeight) = GetInt(&kHeight);
}

// The Writing Window gets its saved text with the insertion point after it.
void LoadWritingWindow() {
  ObjectRecord* view = InputView();
  String text = String::Adopt(PrefContainer_GetString(Prefs(), &kInputViewKey));
  editTextSetter(view, 0, text.get());
  PlaceInsertionPointAtEnd(view);
}

// What the file layer said of its last failure, as the middle of a sentence.
String FailureReason() {
  String reason = String::Adopt(RuntimeFileErrorText());
  if (!reason.Length()) return reason;
  String first = String::Adopt(StringLeft(reason.get(), 1));
  return String::Adopt(StringLCase(first.get())) + String::Adopt(StringMid2(reason.get(), 2));
}

// A file of the preferences folder (nil when there is no such folder): the
// preference file, and the place an unreadable one is kept.
Ref InPreferencesFolder(StringRecord* name) {
  Ref folder = Ref::Adopt(PrefContainer_PrefLocation(Prefs()));
  return folder ? Ref::Adopt(FolderChild(folder.get(), name)) : Ref();
}
Ref PreferenceFile() { return InPreferencesFolder(&kPrefFile); }
// "Vellory Prefs.unreadable", or with " 2", " 3"... the first such name
// that no file has: an earlier unreadable file may hold the only copy of
// older text.
Ref AsidePlace() {
  String base = String::Borrow(&kPrefFile) + String::Borrow(&kAsideSuffix);
  Ref place = InPreferencesFolder(base.get());
  for (int32_t n = 2; place && fileExistsGetter(place.get()) && n < 10000; ++n) {
    String numbered = base + String::Borrow(&kSpace) + String::Adopt(StringStr(n));
    place = InPreferencesFolder(numbered.get());
  }
  return place;
}
bool PreferenceFileExists() {
  Ref file = PreferenceFile();
  return file && fileExistsGetter(file.get());
}
String PathOf(const Ref& item) { return String::Adopt(fileAbsolutePathGetter(item.get())); }

// A file that could not be read waits here to be moved aside; until it is,
// nothing is saved over it.
bool gUnreadableInPlace = false;
// The file was held by another program at start: it stays as it is.
bool gLeftAlone = false;
// A failed save is told once, until a save succeeds again.
bool gSaveFailureTold = false;

// Moves the unreadable file aside, to `aside`. True when it is out of the way.
bool MoveUnreadableAside(const Ref& aside) {
  if (!gUnreadableInPlace) return true;
  Ref file = PreferenceFile();
  if (!aside || !FolderItemMoveFileTo(file.get(), aside.get())) return false;
  gUnreadableInPlace = false;
  return true;
}
bool MoveUnreadableAside() { return !gUnreadableInPlace || MoveUnreadableAside(AsidePlace()); }

// The file is there but could not be read: the program goes on with the
// defaults, and the user hears where the file went, or that another
// program holds it and it is left alone.
void SetUnreadableFileAside() {
  String reason = FailureReason();
  Ref file = PreferenceFile();
  bool moved = false;
  Ref aside;
  if (RuntimeFileBusy()) {
    gLeftAlone = true;
  } else {
    gUnreadableInPlace = true;
    aside = AsidePlace();
    moved = MoveUnreadableAside(aside);
  }
  String text = String::Borrow(&kReadFailed) + PathOf(file) + String::Borrow(&kCouldNotBeRead);
  if (reason.Length()) text = text + String::Borrow(&kReasonOpen) + reason + String::Borrow(&kReasonClose);
  text = text + String::Borrow(&kStartsWithDefaults);
  if (moved)
    text = text + String::Borrow(&kKeptAs) + PathOf(aside) + String::Borrow(&kFullStop);
  else
    text = text + String::Borrow(&kLeftAlone);
  RuntimeMsgBox(text.get());
}

// Tells the user, once, that the settings and text could not be kept.
void ReportSaveFailure() {
  if (gSaveFailureTold) return;
  gSaveFailureTold = true;
  RuntimeMsgBox(String::Adopt(SaveFailureText()).get());
}

void SaveSerialSettings() {
  SerialObject* line = SerialSettings();
  PutInt(&kPort, line->port);
  PutInt(&kBaud, line->baud);
  PutInt(&kBits, line->bits);
  PutInt(&kParity, line->parity);
  PutInt(&kStop, line->stop);
  PutBool(&kXON, line->xon);
  PutBool(&kCTS, line->cts);
  PutBool(&kDTR, line->dtr);
}

}  // namespace

StringRecord* SaveFailureText() {
  String reason = gLeftAlone ? String::Borrow(&kNotSavedOver) : FailureReason();
  String text = String::Borrow(&kSaveFailed) + PathOf(PreferenceFile());
  if (reason.Length()) text = text + String::Borrow(&kColon) + reason;
  text = text + String::Borrow(&kFullStop);
  RuntimeLockString(text.get());
  return text.get();
}

bool SavePreferences(ObjectRecord* main, bool tellFailure) {
  if (!Prefs()) return false;
  // What changes while this save runs goes into the next one.
  SaveScope saving;
  SaveSerialSettings();
  for (const BoolSetting& s : kGlobalBooleans) PutBool(s.key, Global<bool>(s.offset));
  PutInt(&kReturnType, Global<int32_t>(G::kReturnType));
  PutBool(&kShowToolbar, Global<bool>(G::kShowToolbar));
  PutInt(&kTextEncoder, Global<int32_t>(G::kTextEncoder));
  PutInt(&kX, windowPosGetter(main, 0));
  PutInt(&kY, windowPosGetter(main, 1));
  // The window's size is the Writing Window's only while that is on screen;
  // a window collapsed to its status line keeps the size it had before.
  bool shown = Global<bool>(G::kShowInputView) && controlVisibleGetter(InputView());
  PutInt(&kWidth, shown ? windowPosGetter(main, 2) : Global<int32_t>(G::kWidth));
  PutInt(&kHeight, shown ? windowPosGetter(main, 3) : Global<int32_t>(G::kHeight));
  String text = String::Adopt(editTextGetter(InputView()));
  PrefContainer_PutString(Prefs(), &kInputViewKey, text.get());
  if (gLeftAlone || !MoveUnreadableAside() || !PrefContainer_Write(Prefs())) {
    saving.Failed();
    if (tellFailure) ReportSaveFailure();
    return false;
  }
  gSaveFailureTold = false;
  return true;
}

extern "C" {

void Main_PrefsDefault(ObjectRecord*) {
  PutInt(&kPort, 0);
  PutInt(&kBaud, 12);  // 38400 bit/s
  PutInt(&kBits, 3);   // 8 data bits
  PutInt(&kParity, 0);
  PutInt(&kStop, 0);   // 1 stop bit
  PutBool(&kCTS, false);
  PutBool(&kDTR, false);
  PutBool(&kXON, false);
  PutBool(&kShowInputView, true);
  PutBool(&kShowProgressBar, true);
  PutBool(&kAutoConnect, false);
  PutBool(&kEnableKeyRepeat, true);
  PutInt(&kReturnType, 0);
  PutBool(&kShowToolbar, true);
  PutInt(&kTextEncoder, 0);
  PutInt(&kWidth, 450);
  PutInt(&kHeight, 200);
  PutInt(&kX, 8);
  PutInt(&kY, 44);
  PrefContainer_PutString(Prefs(), &kVersion, &kVersionNumber);
}

void Main_PrefsCheckVersion(ObjectRecord*) {
  PrefContainer_PutString(Prefs(), &kVersion, &kVersionNumber);
}

void Main_PrefsLoad(ObjectRecord* main) {
  ObjectRecord* container = RuntimeNewObject(vs_project::kClassPrefContainer);
  ObjectRecord*& slot = Global<ObjectRecord*>(G::kPrefs);
  RuntimeUnlockObject(slot);
  slot = container;
  Global<bool>(G::kFirstRun) = !PreferenceFileExists();
  PrefContainer_Init(container, &kPrefFile);
  Main_PrefsDefault(main);
  if (!PrefContainer_Read(container)) {
    SetUnreadableFileAside();
    // What came before a read error is not taken for the settings.
    PrefContainer_Clear(container);
    Main_PrefsDefault(main);
  }
  LoadSerialSettings();
  LoadGlobals();
  LoadWritingWindow();
  Main_PrefsCheckVersion(main);
}

bool Main_PrefsSave(ObjectRecord* main) { return SavePreferences(main, true); }

void Main_DisplayWelcomeMessage(ObjectRecord* main) {
  RuntimeBeep();
  bool autoConnect = Global<bool>(G::kAutoConnect);
  // A line the user opened already counts as a successful connection; it is
  // not a port held by some other program.
  bool connected = Main_IsConnected(main);
  if (autoConnect && !connected) connected = Main_Connect(main);
  StringRecord* text = &kWelcomeOffline;
  if (autoConnect) text = connected ? &kWelcomeConnected : &kWelcomePortBusy;
  String shown = String::Adopt(StringReplaceAll(text, &kCR, &kCRLF));
  editTextSetter(InputView(), 0, shown.get());
}

}  // extern "C"
