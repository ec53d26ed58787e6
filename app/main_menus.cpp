// The main window's menu commands and the rules that enable them. The rules
// run at every enabling cycle (each time a menu opens or a shortcut is
// pressed) and name texts and help for the state the program is in: online
// or not, in game mode or not, the Writing Window shown or hidden, holding
// text or a selection, and the clipboard holding text.
#include VS_PROJECT_HEADER

#include <stddef.h>

#include "app/main_window.h"
#include "sdk/ui_layouts.h"

namespace {

using vs::Ref;
using vs::String;

// The maker's web site, opened by "Visit Web Site".
VS_STRING(kWebSite, "https://www.vellory.example/");
// The user guide, installed beside the program.
VS_STRING(kUserGuide, "user-guide.html");
VS_STRING(kFileTypes, "text/plain;text/html");
VS_STRING(kNotSupported, "This feature is not supported yet on the Vellory Server for Windows.");
VS_STRING(kNotOpened, "could not be opened");

VS_STRING(kAppleVisitWebSite, "AppleVisitWebSite");
VS_STRING(kAppleAboutVellory, "AppleAboutVellory");
VS_STRING(kEditPreferences, "EditPreferences");
VS_STRING(kFileConnect, "FileConnect");
VS_STRING(kFileShowInputView, "FileShowInputView");
VS_STRING(kHelpOnlineDocumentation, "HelpOnlineDocumentation");
VS_STRING(kFileSend, "FileSend");
VS_STRING(kFileSendFile, "FileSendFile");
VS_STRING(kFileActivateGameMode, "FileActivateGameMode");
VS_STRING(kFileSendClipboard, "FileSendClipboard");
VS_STRING(kFileSendInputView, "FileSendInputView");
VS_STRING(kFileStopSending, "FileStopSending");
VS_STRING(kStopSendingHelp, "Stops sending; what has gone out so far stays sent.");
VS_STRING(kStopSendingDisabledHelp,
          "Stops sending; what has gone out so far stays sent. Not available because nothing is "
          "being sent.");
VS_STRING(kFileSaveInputViewAs, "FileSaveInputViewAs");
VS_STRING(kSaveAsHelp, "Saves the text of the Writing Window to a text file.");
VS_STRING(kEditSelectAll, "EditSelectAll");
VS_STRING(kEditUndo, "EditUndo");
VS_STRING(kEditCopy, "EditCopy");
VS_STRING(kEditCut, "EditCut");
VS_STRING(kEditPaste, "EditPaste");
VS_STRING(kEditClear, "EditClear");
VS_STRING(kFileQuit, "FileQuit");

VS_STRING(kDisconnectText, "&Disconnect");
VS_STRING(kDisconnectHelp, "Closes the serial connection with your handheld.");
VS_STRING(kConnectText, "&Connect");
VS_STRING(kConnectHelp, "Opens a connection with your handheld.");
VS_STRING(kGameModeOnHelp, "Switches the Vellory Server from Game Mode to Text Recognition Mode.");
VS_STRING(kGameModeOffHelp,
          "Configures the Vellory Server to treat your handheld as a gaming controller.");
VS_STRING(kGameModeOfflineHelp,
          "Configures the Vellory Server to treat your handheld as a gaming controller. Not "
          "available because no connection has been established.");
VS_STRING(kClipboardHelp, "Sends the contents of the clipboard to your handheld.");
VS_STRING(kClipboardDisabledHelp,
          "Sends the contents of the clipboard to your handheld. Not available because there is "
          "nothing in the Clipboard or it is not text.");
VS_STRING(kSelectedText, "&Selected Text");
VS_STRING(kSelectedHelp, "Sends the selected text in the Writing Window to your handheld.");
VS_STRING(kWritingWindow, "&Writing Window");
VS_STRING(kWritingWindowHelp, "Sends the contents of the Writing Window to your handheld.");
VS_STRING(kWritingWindowDisabledHelp,
          "Sends the contents of the Writing Window to your handheld. Not available because the "
          "Vellory Writing Window is hidden or there is no text.");
VS_STRING(kSendOfflineHelp,
          "Options to send text data to your handheld. Not available because no connection has "
          "been established.");
VS_STRING(kHideText, "Hide W&riting Window");
VS_STRING(kHideHelp, "Hides the Vellory Input Window.");
VS_STRING(kShowText, "Show W&riting Window");
VS_STRING(kShowHelp, "Displays the Writing Window.");
VS_STRING(kSelectAllHelp, "Selects the entire contents of the Writing Window.");

VS_STRING(kUndoHelp, "Undoes your last action if it involved cutting, clearing, pasting, or typing.");
VS_STRING(kUndoDisabledHelp,
          "Undoes your last action if it involved cutting, clearing, pasting, or typing. Not "
          "available because your last action cannot be undone.");
VS_STRING(kCopyHelp,
          "Copies the selected text. The original item remains where it is, and the copy is "
          "placed temporarily into a storage area called the Clipboard.");
VS_STRING(kCopyDisabledHelp,
          "Copies the selected text. The original item remains where it is, and the copy is "
          "placed temporarily into a storage area called the Clipboard. Not available because no "
          "text is selected.");
VS_STRING(kCutHelp,
          "Cuts the selected text. The material you cut is removed and place temporarily into a "
          "storage area called the Clipboard.");
VS_STRING(kCutDisabledHelp,
          "Cuts the selected text. The material you cut is removed and place temporarily into a "
          "storage area called the Clipboard. Not available because no text is selected.");
VS_STRING(kPasteHelp,
          "Places the contents of the Clipboard at the location of the insertion point (or "
          "selection).");
VS_STRING(kPasteDisabledHelp,
          "Places the contents of the Clipboard at the location of the insertion point (or "
          "selection). Not available because there is nothing on the Clipboard, or because the "
          "contents of the Clipboard cannot be pasted at the current insertion point or "
          "selection.");
VS_STRING(kClearHelp, "Removes the selected text without storing it on the Clipboard.");
VS_STRING(kClearDisabledHelp,
          "Removes the selected text without storing it on the Clipboard. Not available because "
          "no text is selected.");
VS_STRING(kPreferencesHelp, "Lets you set various preferences for Vellory Server.");
VS_STRING(kAboutHelp, "Displays information about the version of the Vellory Server application.");
VS_STRING(kSendFileHelp, "Sends a text file to your handheld.");
VS_STRING(kQuitHelp, "Quits the application.");

// A menu item by name, held for the length of one rule.
class Item {
 public:
  explicit Item(StringRecord* name) : item_(Ref::Adopt(RuntimeMenuReference(name))) {}
  Item& Enable() {
    if (item_) RuntimeEnableMenu(item_.get());
    return *this;
  }
  Item& Disable() { return SetByte(offsetof(MenuItemObject, enabled), false); }
  Item& Check(bool on) { return SetByte(offsetof(MenuItemObject, checked), on); }
  Item& Text(StringRecord* text) {
    if (item_) menuItemTextSetter(item_.get(), 0, text);
    return *this;
  }
  Item& Help(StringRecord* text) { return SetString(offsetof(MenuItemObject, balloonHelp), text); }
  Item& DisabledHelp(StringRecord* text) {
    return SetString(offsetof(MenuItemObject, disabledBalloonHelp), text);
  }

 private:
  Item& SetByte(uint32_t offset, bool value) {
    if (item_) vs::Field<uint8_t>(item_.get(), offset) = value;
    return *this;
  }
  Item& SetString(uint32_t offset, StringRecord* text) {
    if (item_) stringSetter(item_.get(), offset, text);
    return *this;
  }
  Ref item_;
};

bool ClipboardHoldsText() {
  Ref clipboard = Ref::Adopt(RuntimeNewObject(vs_project::kClassClipboard));
  bool text = clipboardTextAvailable(clipboard.get());
  clipboardClose(clipboard.get());
  return text;
}

int32_t TextLength(ObjectRecord* view) { return String::Adopt(editTextGetter(view)).Length(); }

void EnableOnline(ObjectRecord* view) {
  Item(&kFileConnect).Text(&kDisconnectText).Help(&kDisconnectHelp);
  Item(&kFileSend).Enable();
  Item(&kFileSendFile).Enable();
  Item game(&kFileActivateGameMode);
  game.Enable();
  if (Main_InGameMode(MainWindow()))
    game.Check(true).Help(&kGameModeOnHelp);
  else
    game.Check(false).Help(&kGameModeOffHelp);
  if (ClipboardHoldsText())
    Item(&kFileSendClipboard).Enable().Help(&kClipboardHelp);
  else
    Item(&kFileSendClipboard).DisabledHelp(&kClipboardDisabledHelp);
  if (editSelLengthGetter(view) > 0)
    Item(&kFileSendInputView).Text(&kSelectedText).Help(&kSelectedHelp).Enable();
  else if (TextLength(view) > 0)
    Item(&kFileSendInputView).Text(&kWritingWindow).Help(&kWritingWindowHelp).Enable();
}

// While a send runs, another cannot start; it can be stopped.
void EnableWhileSending() {
  Item(&kFileStopSending).Help(&kStopSendingHelp).DisabledHelp(&kStopSendingDisabledHelp);
  if (!SendingInPieces()) return;
  Item(&kFileStopSending).Enable();
  Item(&kFileSend).Disable();
  Item(&kFileSendFile).Disable();
  Item(&kFileSendInputView).Disable();
  Item(&kFileSendClipboard).Disable();
}

void DisableOffline() {
  Item(&kFileActivateGameMode).DisabledHelp(&kGameModeOfflineHelp);
  Item(&kFileSend).DisabledHelp(&kSendOfflineHelp).Disable();
  Item(&kFileSendFile).Disable();
  Item(&kFileSendInputView).Disable();
  Item(&kFileSendClipboard).Disable();
  Item(&kFileConnect).Text(&kConnectText).Help(&kConnectHelp);
}

void EnableWritingWindowItems(ObjectRecord* view) {
  if (controlVisibleGetter(view)) {
    Item(&kFileShowInputView).Text(&kHideText).Help(&kHideHelp);
    if (TextLength(view) > 0) {
      Item(&kEditSelectAll).Enable().Help(&kSelectAllHelp);
      Item(&kFileSaveInputViewAs).Enable().Help(&kSaveAsHelp);
    } else {
      Item(&kFileSendInputView).DisabledHelp(&kWritingWindowDisabledHelp);
    }
    return;
  }
  Item(&kEditSelectAll).Disable();
  Item(&kFileSaveInputViewAs).Disable();
  Item(&kFileShowInputView).Text(&kShowText).Help(&kShowHelp);
  Item(&kFileSendInputView).DisabledHelp(&kWritingWindowDisabledHelp);
}

void SetFixedHelp() {
  Item(&kEditUndo).Help(&kUndoHelp).DisabledHelp(&kUndoDisabledHelp);
  Item(&kEditCopy).Help(&kCopyHelp).DisabledHelp(&kCopyDisabledHelp);
  Item(&kEditCut).Help(&kCutHelp).DisabledHelp(&kCutDisabledHelp);
  Item(&kEditPaste).Help(&kPasteHelp).DisabledHelp(&kPasteDisabledHelp);
  Item(&kEditClear).Help(&kClearHelp).DisabledHelp(&kClearDisabledHelp);
  Item(&kEditPreferences).Help(&kPreferencesHelp);
  Item(&kAppleAboutVellory).Help(&kAboutHelp);
  Item(&kFileSendFile).Help(&kSendFileHelp);
  Item(&kFileQuit).Help(&kQuitHelp);
}

}  // namespace

extern "C" {

void Main_EnableMenuItems(ObjectRecord* main) {
  StringRecord* const always[] = {&kAppleVisitWebSite, &kAppleAboutVellory, &kEditPreferences,
                                 &kFileConnect, &kFileShowInputView, &kHelpOnlineDocumentation};
  for (StringRecord* name : always) Item(name).Enable();
  ObjectRecord* view = InputView();
  if (Main_IsConnected(main))
    EnableOnline(view);
  else
    DisableOffline();
  EnableWritingWindowItems(view);
  EnableWhileSending();
  SetFixedHelp();
}

bool Main_AppleAboutVellory(ObjectRecord*) {
  ShowAboutView();
  return true;
}

bool Main_EditPreferences(ObjectRecord*) {
  ShowPrefsView();
  return true;
}

bool Main_FileConnect(ObjectRecord* main) {
  if (Main_IsConnected(main))
    Main_Disconnect(main);
  else
    Main_Connect(main);
  return true;
}

bool Main_FileSendClipboard(ObjectRecord* main) {
  Ref clipboard = Ref::Adopt(RuntimeNewObject(vs_project::kClassClipboard));
  String text = String::Adopt(clipboardTextGetter(clipboard.get()));
  SendInPieces(main, text.get());
  clipboardClose(clipboard.get());
  return true;
}

bool Main_EditSelectAll(ObjectRecord*) {
  ObjectRecord* view = InputView();
  editSelStartSetter(view, 0, 0);
  editSelLengthSetter(view, 0, TextLength(view));
  return true;
}

bool Main_FileShowInputView(ObjectRecord*) {
  RuntimeMsgBox(&kNotSupported);
  return true;
}

bool Main_FileSendInputView(ObjectRecord* main) {
  ObjectRecord* view = InputView();
  String text = String::Adopt(editSelLengthGetter(view) > 0 ? editSelTextGetter(view)
                                                            : editTextGetter(view));
  SendInPieces(main, text.get());
  return true;
}

// Sends a text file line by line, each line with the chosen line end, in
// pieces while the window goes on working (see sending.cpp). A file that
// cannot be opened (another program holding it for longer than a moment)
// is named in a message.
bool Main_FileSendFile(ObjectRecord* main) {
  constexpr int32_t kBusyWaitMs = 2000;
  Ref file = Ref::Adopt(RuntimeGetOpenFolderItem(&kFileTypes));
  if (!file) return true;
  Ref stream = Ref::Adopt(FolderItemOpenTextFileWaiting(file.get(), kBusyWaitMs));
  if (!stream) {
    TellFileFailure(&kNotOpened, file.get());
    return true;
  }
  SendFileInPieces(main, stream.get(), file.get());
  return true;
}

bool Main_FileSaveInputViewAs(ObjectRecord*) {
  SaveWritingWindowAs();
  return true;
}

bool Main_FileActivateGameMode(ObjectRecord* main) {
  Main_ToggleGameMode(main);
  return true;
}

bool Main_AppleVisitWebSite(ObjectRecord*) {
  GlobalShowURL(&kWebSite);
  return true;
}

bool Main_HelpOnlineDocumentation(ObjectRecord*) {
  Ref guide = Ref::Adopt(RuntimeGetFolderItem(&kUserGuide));
  if (!guide) return true;
  String path = String::Adopt(fileAbsolutePathGetter(guide.get()));
  GlobalShowURL(path.get());
  return true;
}

}  // extern "C"
