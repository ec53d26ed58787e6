// The main window's operations, shared by the application's files. The main
// window is created once at start-up and lives until the program ends, so
// code reached from its timers and its serial control finds it here.
#pragma once
#include "sdk/vellory.h"

// The main window (borrowed), once start-up has created it.
ObjectRecord* MainWindow();

// The other windows each have one instance, made when first shown and
// forgotten when it closes; showing an open one brings it to the front.
void ShowAboutView();
void ShowPrefsView();
void ShowSetupAssistant();

// The main window's Writing Window, serial control and progress bar, borrowed.
ObjectRecord* InputView();
ObjectRecord* SerialLine();
ObjectRecord* ProgressBar();

// The bytes that go to the handheld for a text: with the chosen line end
// unless it ends with one, converted for a Newton (one reference for the
// caller).
StringRecord* OutgoingBytes(StringRecord* text);

// A send the line did not take: the busy display ends; a line that went
// away goes offline, one that is there but holds the data says so once,
// and a send in pieces stops, saying how much went out.
void SendRefused(ObjectRecord* main);

// Sending without freezing the window: the text (or the file's lines) goes
// out in pieces from a timer while the event loop runs in full. False when
// the line is not connected or a send is already running.
bool SendInPieces(ObjectRecord* main, StringRecord* text);
bool SendFileInPieces(ObjectRecord* main, ObjectRecord* stream, ObjectRecord* file);
bool SendingInPieces();
// Stops a send after the piece that is going out: what the driver still
// holds is dropped, and the status line says how much went out.
void StopSending(ObjectRecord* main);

// Tells the user that `file` `what` ("could not be opened", say), with the
// system's reason: "The file C:\x.txt could not be opened: reason."
void TellFileFailure(StringRecord* what, ObjectRecord* file);
// The same sentence in general: `before`, the file's path, `after` (may be
// nil), then ": " and the system's reason when there is one, and ".".
void TellAboutFile(StringRecord* before, ObjectRecord* file, StringRecord* after);

// Puts the insertion point after the last character of an edit field.
void PlaceInsertionPointAtEnd(ObjectRecord* view);

// Takes what the line holds and puts every whole frame into the Writing
// Window now, the line staying open (before the text is saved for good).
void TakeInWhatArrived(ObjectRecord* main);

// Saves the settings and the Writing Window; false when the file could not
// be written (told once when `tellFailure`; else the caller tells).
bool SavePreferences(ObjectRecord* main, bool tellFailure);
// Why the last save failed: a sentence naming the file (one reference).
StringRecord* SaveFailureText();

// The last save as the program ends: made, and while it fails with text
// unsaved, asked about (try again, keep the text in another file, or quit
// without it). Once the user has chosen, later calls do nothing.
void SaveBeforeQuitting(ObjectRecord* main);

// Saves the Writing Window's text to a file chosen in the save dialog. False
// when the dialog is cancelled or the file cannot be written (the user is told).
bool SaveWritingWindowAs();

// The status line's states, as Main's "Status" field holds them.
enum MainStatus : int32_t { kStatusOffline = 0, kStatusListening = 1, kStatusReceiving = 2, kStatusSending = 3 };

extern "C" {

bool Main_Connect(ObjectRecord* main);
bool Main_Disconnect(ObjectRecord* main);
bool Main_IsConnected(ObjectRecord* main);
// True when the text went out whole; false when not connected, refused or lost.
bool Main_Send(ObjectRecord* main, StringRecord* text);
void Main_Receive(ObjectRecord* main);
bool Main_ProcessData(ObjectRecord* main);
void Main_ProcessCommand(ObjectRecord* main, StringRecord* frame);
StringRecord* Main_EncodeText(ObjectRecord* main, StringRecord* text);
void Main_SetStatus(ObjectRecord* main, int32_t code, bool busy);
void Main_StatusUpdate(ObjectRecord* main);
void Main_ReceiveGameKey(ObjectRecord* main, StringRecord* key);
bool Main_InGameMode(ObjectRecord* main);
void Main_ToggleGameMode(ObjectRecord* main);

void Main_ViewExpand(ObjectRecord* main, bool visible);
void Main_ViewUpdate(ObjectRecord* main);
void Main_PrefsLoad(ObjectRecord* main);
void Main_PrefsDefault(ObjectRecord* main);
// Saves the settings and the Writing Window; false (and the user told once)
// when the file could not be written.
bool Main_PrefsSave(ObjectRecord* main);
void Main_PrefsCheckVersion(ObjectRecord* main);
void Main_DisplayWelcomeMessage(ObjectRecord* main);

void SerialClass_CheckSerial(ObjectRecord* line);
void SerialClass_ClearBuffer(ObjectRecord* line);
void SerialClass_DataAvailable(ObjectRecord* line);

void TimerSerial_Action(ObjectRecord* timer);
void TimerKeyTyper_Action(ObjectRecord* timer);
void TimerProgressStart_Action(ObjectRecord* timer);
void TimerProgressStop_Action(ObjectRecord* timer);

}  // extern "C"
