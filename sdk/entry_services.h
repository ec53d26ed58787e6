// Entry points of the runtime's clipboard, text encodings and dates, as
// application code calls them; included by sdk/vellory.h.
#pragma once
#include <stdint.h>

#include "sdk/runtime_records.h"

extern "C" {

// --- Clipboard -------------------------------------------------------------------
// The object opens the system clipboard on first use and holds it until
// clipboardClose or its destruction. Its first setting empties the clipboard.
StringRecord* clipboardTextGetter(ObjectRecord* clipboard);
void clipboardTextSetter(ObjectRecord* clipboard, uint32_t param, StringRecord* text);
void clipboardSetText(ObjectRecord* clipboard, StringRecord* text);
bool clipboardTextAvailable(ObjectRecord* clipboard);
bool clipboardPictureAvailable(ObjectRecord* clipboard);
// Data under the clipboard format named `type` (registered when new).
bool clipboardMacDataAvailable(ObjectRecord* clipboard, StringRecord* type);
StringRecord* clipboardMacData(ObjectRecord* clipboard, StringRecord* type);
void clipboardAddMacData(ObjectRecord* clipboard, StringRecord* type, StringRecord* data);
// A Picture of the clipboard's bitmap, or nil; setting a picture does nothing.
ObjectRecord* clipboardPictureGetter(ObjectRecord* clipboard);
void clipboardPictureSetter(ObjectRecord* clipboard, uint32_t param, ObjectRecord* picture);
void clipboardClose(ObjectRecord* clipboard);

// --- TextEncoding and TextConverter -------------------------------------------
ObjectRecord* getTextEncoding(int32_t base, int32_t variant, int32_t format);
ObjectRecord* getInternetTextEncoding(StringRecord* name);
ObjectRecord* getFontTextEncoding(StringRecord* fontName);
StringRecord* textEncodingInternetName(ObjectRecord* encoding);
int32_t textEncodingBaseGetter(ObjectRecord* encoding);
int32_t textEncodingVariantGetter(ObjectRecord* encoding);
int32_t textEncodingFormatGetter(ObjectRecord* encoding);
// A converter between two encodings, or nil when either is nil or unknown.
ObjectRecord* getTextConverter(ObjectRecord* source, ObjectRecord* destination);
StringRecord* textConverterConvert(ObjectRecord* converter, StringRecord* text);
void textConverterClear(ObjectRecord* converter);
// Which of the Japanese encodings `text` is most likely in: a TextEncoding
// (Shift-JIS, EUC-JP or ISO-2022-JP), or nil for plain ASCII.
ObjectRecord* guessJapaneseEncoding(StringRecord* text);

// --- Date --------------------------------------------------------------------------
// Fields: 0 Year, 1 Month, 2 Day, 3 Hour, 4 Minute, 5 Second, 6 DayOfWeek,
// 7 DayOfYear, 8 WeekOfYear. Setting a field normalises the date.
int32_t dateFieldGetter(ObjectRecord* date, uint32_t field);
void dateFieldSetter(ObjectRecord* date, uint32_t field, int32_t value);
// Kinds: 0 ShortDate, 1 LongDate, 2 AbbreviatedDate, 3 ShortTime, 4 LongTime.
StringRecord* dateStringGetter(ObjectRecord* date, uint32_t kind);
double dateTotalSecondsGetter(ObjectRecord* date);
void dateTotalSecondsSetter(ObjectRecord* date, uint32_t param, double seconds);

// --- Serial -------------------------------------------------------------------------
// A line opens on first write when closed; reads return at once with what
// the driver holds. A device that goes away closes the line (isOpen turns
// false) and keeps what was received. The port list is COM1 to COM4 and every
// port the system lists, by number; getSerialPortCount reads it afresh.
bool serialOpen(ObjectRecord* serial);
void serialReset(ObjectRecord* serial);
void serialClose(ObjectRecord* serial);
// False when not every byte went out (the line could not open, the far end
// did not take them in time, or the device went away).
bool serialWrite(ObjectRecord* serial, StringRecord* text);
// Writes what the line takes of the text within limitMs milliseconds and
// answers how many bytes went out, or -1 when the line is closed or its
// device gone. An unfinished write is no failure: a sender that must not
// block offers the rest again later.
int32_t serialWriteSome(ObjectRecord* serial, StringRecord* text, int32_t limitMs);
// Discards what the driver still holds to send, so that bytes of a send
// given up (stopped, refused) do not reach the far end ahead of the next
// one. Nothing when the line is closed or nil.
void serialPurgeOutput(ObjectRecord* serial);
// These two do nothing, on purpose: a write returns once it is complete (or
// its limit ran out), so there is nothing left to wait for, and the line
// keeps no DTR setting past its closing. They stay for images that call them.
void serialXmitWait(ObjectRecord* serial);
void serialLeaveDTROnClose(ObjectRecord* serial);
void serialTick(ObjectRecord* serial);
// The first `count` bytes received (all when fewer; "" for count <= 0).
StringRecord* serialRead(ObjectRecord* serial, int32_t count);
StringRecord* serialReadAll(ObjectRecord* serial);
void serialFlush(ObjectRecord* serial);
int32_t getSerialPortCount();
ObjectRecord* getSerialPort(ObjectRecord* receiver, int32_t index);

// --- FolderItem -----------------------------------------------------------------
// Paths are joined to the program's folder; a path with a drive or "\\"
// stands as it is. Getters on a missing item answer false, 0 or "".
ObjectRecord* RuntimeGetFolderItem(StringRecord* path);
ObjectRecord* RuntimeGetTrueFolderItem(StringRecord* path);
ObjectRecord* FolderItemFromPath(StringRecord* path);
ObjectRecord* FolderChild(ObjectRecord* folder, StringRecord* name);
ObjectRecord* FolderTrueChild(ObjectRecord* folder, StringRecord* name);
StringRecord* fileAbsolutePathGetter(ObjectRecord* item);
StringRecord* fileNameGetter(ObjectRecord* item);
void fileNameSetter(ObjectRecord* item, uint32_t param, StringRecord* name);
bool fileExistsGetter(ObjectRecord* item);
bool fileDirectoryGetter(ObjectRecord* item);
int32_t fileSizeGetter(ObjectRecord* item);
bool fileLockedGetter(ObjectRecord* item);
void fileLockedSetter(ObjectRecord* item, uint32_t param, bool locked);
bool fileVisibleGetter(ObjectRecord* item);
void fileVisibleSetter(ObjectRecord* item, uint32_t param, bool visible);
ObjectRecord* folderParentGetter(ObjectRecord* item);
int32_t fileCountGetter(ObjectRecord* folder);
ObjectRecord* FolderItemItem(ObjectRecord* folder, int32_t index);
ObjectRecord* FolderItemTrueItem(ObjectRecord* folder, int32_t index);
ObjectRecord* folderGetCreation(ObjectRecord* item);
ObjectRecord* folderGetModified(ObjectRecord* item);
void folderSetCreation(ObjectRecord* item, uint32_t param, ObjectRecord* date);
void folderSetModified(ObjectRecord* item, uint32_t param, ObjectRecord* date);
StringRecord* fileTypeGetter(ObjectRecord* item);
void FolderItemDelete(ObjectRecord* item);
void FolderItemCreateAsFolder(ObjectRecord* item);
StringRecord* fileMacTypeGetter(ObjectRecord* item);
void fileMacTypeSetter(ObjectRecord* item, uint32_t param, StringRecord* type);
StringRecord* fileMacCreatorGetter(ObjectRecord* item);
void fileMacCreatorSetter(ObjectRecord* item, uint32_t param, StringRecord* creator);
int32_t fileRFSizeGetter(ObjectRecord* item);
bool fileAliasGetter(ObjectRecord* item);
ObjectRecord* folderFindFolder(ObjectRecord* item, int32_t which);
ObjectRecord* getPreferencesFolder();
ObjectRecord* getSystemFolder();
ObjectRecord* getExtensionsFolder();
ObjectRecord* getTemporaryItemsFolder();
ObjectRecord* getTemporaryFolderItem();
ObjectRecord* getDesktopFolder();
ObjectRecord* getTrashFolder();
ObjectRecord* getFontsFolder();
ObjectRecord* getStartupItemsFolder();
ObjectRecord* getShutdownItemsFolder();
ObjectRecord* getControlPanelsFolder();
ObjectRecord* getAppleMenuFolder();
// The system's open and save dialogs, offering the application's file types
// named in `fileTypes` (separated by ";") and all files; nil on cancel.
ObjectRecord* RuntimeGetOpenFolderItem(StringRecord* fileTypes);
ObjectRecord* RuntimeGetSaveFolderItem(StringRecord* fileTypes);
// The save dialog with `name` offered as the file's name and opening in
// `folder` (a FolderItem); either may be nil, which is as above.
ObjectRecord* RuntimeGetSaveFolderItemNamed(StringRecord* fileTypes, StringRecord* name, ObjectRecord* folder);
int32_t getVolumeCount();
ObjectRecord* getVolume(int32_t index);

// --- text streams ----------------------------------------------------------------
// nil when the file cannot be opened or created.
ObjectRecord* FolderItemOpenTextFile(ObjectRecord* item);
// As FolderItemOpenTextFile, but a file that another program holds (a
// sharing or lock violation) is tried again for up to `ms` milliseconds.
ObjectRecord* FolderItemOpenTextFileWaiting(ObjectRecord* item, int32_t ms);
ObjectRecord* FolderItemCreateTextFile(ObjectRecord* item);
ObjectRecord* FolderItemAppendTextFile(ObjectRecord* item);
// The next line without its terminator (CR, LF or CR LF); "" when closed.
StringRecord* TextInputStreamReadLine(ObjectRecord* stream);
StringRecord* TextInputStreamReadAll(ObjectRecord* stream);
bool TextInputStreamEOF(ObjectRecord* stream);
// True once a read of the stream failed part-way through the file (the
// stream then reports EOF, and RuntimeFileErrorText says why); false for nil
// and for a stream that only reached the end of its file.
bool TextInputStreamReadFailed(ObjectRecord* stream);
void TextInputStreamClose(ObjectRecord* stream);
// A stream created for writing fills a new file beside its target, which
// replaces the target only when the stream is closed with every write
// succeeded; until then, and after any failure, the old file stays whole.
// Writes answer whether every byte went out (false on a closed stream).
bool TextOutputStreamWrite(ObjectRecord* stream, StringRecord* text);
// The text, then Delimiter, or CR LF while Delimiter is "".
bool TextOutputStreamWriteLine(ObjectRecord* stream, StringRecord* text);
// True when the file now holds everything written (for a created file: it
// has replaced its target); false on a failure or a closed stream.
bool TextOutputStreamClose(ObjectRecord* stream);
// Moves the item's file to the destination's path in one step, replacing a
// file there; true when it moved.
bool FolderItemMoveFileTo(ObjectRecord* item, ObjectRecord* destination);
// Why the runtime's last failed file operation failed, in the system's words
// (no final full stop); "" when none has failed.
StringRecord* RuntimeFileErrorText();
// The last failed file operation failed because another program holds the
// file (a sharing or lock violation): it may well succeed a moment later.
bool RuntimeFileBusy();

// --- Shell ----------------------------------------------------------------------
// Opens the address (web page or file path) with the program the system
// associates with it. Both names do the same.
void GlobalShowURL(StringRecord* address);
void RuntimeShowURL(StringRecord* address);

}  // extern "C"
