// Entry points of the runtime's built-in control kinds (edit field, static
// text, push button, check box, popup menu, group box, tab panel, progress
// bar), as application code and plug-ins call them; included by
// sdk/vellory.h. The field layouts are in sdk/ui_layouts.h.
//
// Property accessors follow the common convention: getter(control),
// setter(control, parameter word, value). The parameter word is the one the
// property's record holds; the accessors here ignore it, except
// staticAttributeSetter, whose parameter word is the offset of the field it
// sets (Bold, Italic or Underline of StaticTextObject). Colours are
// 0x00RRGGBB. Without a pane a setter only stores, and a getter that reads
// the pane gives 0, false or the empty string.
#pragma once
#include <stdint.h>

#include "sdk/class_records.h"
#include "sdk/runtime_records.h"

extern "C" {

// --- EditField ---------------------------------------------------------------------
// The text: from the pane when there is one (no line-end conversion).
StringRecord* editTextGetter(ObjectRecord* field);
void editTextSetter(ObjectRecord* field, uint32_t param, StringRecord* text);
// Border, MultiLine and ScrollBar shape the pane: a change remakes it.
bool editBorderGetter(ObjectRecord* field);
void editBorderSetter(ObjectRecord* field, uint32_t param, bool on);
bool editMultiLineGetter(ObjectRecord* field);
void editMultiLineSetter(ObjectRecord* field, uint32_t param, bool on);
bool editScrollBarGetter(ObjectRecord* field);
void editScrollBarSetter(ObjectRecord* field, uint32_t param, bool on);
bool editReadOnlyGetter(ObjectRecord* field);
void editReadOnlySetter(ObjectRecord* field, uint32_t param, bool on);
bool editPasswordGetter(ObjectRecord* field);
void editPasswordSetter(ObjectRecord* field, uint32_t param, bool on);
// 0 = as many characters as the pane can hold.
int32_t editLimitTextGetter(ObjectRecord* field);
void editLimitTextSetter(ObjectRecord* field, uint32_t param, int32_t limit);
void editTextColorSetter(ObjectRecord* field, uint32_t param, uint32_t color);
void editBackColorSetter(ObjectRecord* field, uint32_t param, uint32_t color);
StringRecord* editTextFontGetter(ObjectRecord* field);
void editTextFontSetter(ObjectRecord* field, uint32_t param, StringRecord* font);
int32_t editTextSizeGetter(ObjectRecord* field);
void editTextSizeSetter(ObjectRecord* field, uint32_t param, int32_t size);
bool editBoldGetter(ObjectRecord* field);
void editBoldSetter(ObjectRecord* field, uint32_t param, bool on);
bool editItalicGetter(ObjectRecord* field);
void editItalicSetter(ObjectRecord* field, uint32_t param, bool on);
bool editUnderlineGetter(ObjectRecord* field);
void editUnderlineSetter(ObjectRecord* field, uint32_t param, bool on);
// The selection, in characters from 0. SelStart = s keeps the old end when it
// lies after s, else makes an insertion point at s; SelLength = n selects
// from the start to start + n; SelText replaces the selection (undoable).
int32_t editSelStartGetter(ObjectRecord* field);
void editSelStartSetter(ObjectRecord* field, uint32_t param, int32_t start);
int32_t editSelLengthGetter(ObjectRecord* field);
void editSelLengthSetter(ObjectRecord* field, uint32_t param, int32_t length);
StringRecord* editSelTextGetter(ObjectRecord* field);
void editSelTextSetter(ObjectRecord* field, uint32_t param, StringRecord* text);
// The styled text of a rich-edit pane as RTF; empty for a plain one.
StringRecord* editTextStyleDataGetter(ObjectRecord* field);
// Character style of the selection (rich-edit panes; a plain pane reads
// false, 0 or "" and ignores changes). Outline, Shadow, Condense and Extend
// have no counterpart on this platform: they read false and change nothing.
// SelPlain reads true when the selection is neither bold, italic nor
// underlined; setting it true removes all three. SelTextSize is in pixels,
// like TextSize.
bool editSelBoldGetter(ObjectRecord* field);
void editSelBoldSetter(ObjectRecord* field, uint32_t param, bool on);
bool editSelItalicGetter(ObjectRecord* field);
void editSelItalicSetter(ObjectRecord* field, uint32_t param, bool on);
bool editSelUnderlineGetter(ObjectRecord* field);
void editSelUnderlineSetter(ObjectRecord* field, uint32_t param, bool on);
bool editSelOutlineGetter(ObjectRecord* field);
void editSelOutlineSetter(ObjectRecord* field, uint32_t param, bool on);
bool editSelShadowGetter(ObjectRecord* field);
void editSelShadowSetter(ObjectRecord* field, uint32_t param, bool on);
bool editSelCondenseGetter(ObjectRecord* field);
void editSelCondenseSetter(ObjectRecord* field, uint32_t param, bool on);
bool editSelExtendGetter(ObjectRecord* field);
void editSelExtendSetter(ObjectRecord* field, uint32_t param, bool on);
bool editSelPlainGetter(ObjectRecord* field);
void editSelPlainSetter(ObjectRecord* field, uint32_t param, bool on);
StringRecord* editSelTextFontGetter(ObjectRecord* field);
void editSelTextFontSetter(ObjectRecord* field, uint32_t param, StringRecord* font);
int32_t editSelTextSizeGetter(ObjectRecord* field);
void editSelTextSizeSetter(ObjectRecord* field, uint32_t param, int32_t size);
uint32_t editSelTextColorGetter(ObjectRecord* field);
void editSelTextColorSetter(ObjectRecord* field, uint32_t param, uint32_t color);

// --- StaticText: every setter stores, then redraws the text -------------------------
void staticCaptionSetter(ObjectRecord* label, uint32_t param, StringRecord* text);
void staticTextAlignSetter(ObjectRecord* label, uint32_t param, int32_t align);
void staticTextColorSetter(ObjectRecord* label, uint32_t param, uint32_t color);
void staticTextFontSetter(ObjectRecord* label, uint32_t param, StringRecord* font);
void staticTextSizeSetter(ObjectRecord* label, uint32_t param, int32_t size);
void staticAttributeSetter(ObjectRecord* label, uint32_t fieldOffset, bool on);

// --- PushButton ----------------------------------------------------------------------
StringRecord* pushButtonTitleGetter(ObjectRecord* button);
void pushButtonTitleSetter(ObjectRecord* button, uint32_t param, StringRecord* caption);
bool pushButtonDefaultGetter(ObjectRecord* button);
void pushButtonDefaultSetter(ObjectRecord* button, uint32_t param, bool on);
bool pushButtonCancelGetter(ObjectRecord* button);
void pushButtonCancelSetter(ObjectRecord* button, uint32_t param, bool on);
StringRecord* pushButtonTextFontGetter(ObjectRecord* button);
void pushButtonTextFontSetter(ObjectRecord* button, uint32_t param, StringRecord* font);
int32_t pushButtonTextSizeGetter(ObjectRecord* button);
void pushButtonTextSizeSetter(ObjectRecord* button, uint32_t param, int32_t size);
bool pushButtonBoldGetter(ObjectRecord* button);
void pushButtonBoldSetter(ObjectRecord* button, uint32_t param, bool on);
bool pushButtonItalicGetter(ObjectRecord* button);
void pushButtonItalicSetter(ObjectRecord* button, uint32_t param, bool on);
bool pushButtonUnderlineGetter(ObjectRecord* button);
void pushButtonUnderlineSetter(ObjectRecord* button, uint32_t param, bool on);
// Clicks the button: its "Action" follows.
void pushButtonPush(ObjectRecord* button);

// --- CheckBox ------------------------------------------------------------------------
StringRecord* checkBoxTitleGetter(ObjectRecord* box);
void checkBoxTitleSetter(ObjectRecord* box, uint32_t param, StringRecord* caption);
bool checkBoxValueGetter(ObjectRecord* box);
void checkBoxValueSetter(ObjectRecord* box, uint32_t param, bool checked);
StringRecord* checkBoxTextFontGetter(ObjectRecord* box);
void checkBoxTextFontSetter(ObjectRecord* box, uint32_t param, StringRecord* font);
int32_t checkBoxTextSizeGetter(ObjectRecord* box);
void checkBoxTextSizeSetter(ObjectRecord* box, uint32_t param, int32_t size);
bool checkBoxBoldGetter(ObjectRecord* box);
void checkBoxBoldSetter(ObjectRecord* box, uint32_t param, bool on);
bool checkBoxItalicGetter(ObjectRecord* box);
void checkBoxItalicSetter(ObjectRecord* box, uint32_t param, bool on);
bool checkBoxUnderlineGetter(ObjectRecord* box);
void checkBoxUnderlineSetter(ObjectRecord* box, uint32_t param, bool on);

// --- PopupMenu: rows are numbered from 0; -1 = no row --------------------------------
int32_t RuntimePopupSelectionGetter(ObjectRecord* popup);
void RuntimePopupSelectionSetter(ObjectRecord* popup, uint32_t param, int32_t row);
int32_t RuntimePopupCountGetter(ObjectRecord* popup);
// The text of the selected row (empty when none is).
StringRecord* popupTextGetter(ObjectRecord* popup);
void RuntimePopupAddRow(ObjectRecord* popup, StringRecord* text);
// Before `row`; at the end when `row` is past the last row.
void RuntimePopupInsertRow(ObjectRecord* popup, int32_t row, StringRecord* text);
void RuntimePopupRemoveRow(ObjectRecord* popup, int32_t row);
StringRecord* RuntimePopupGetRow(ObjectRecord* popup, int32_t row);
void RuntimePopupSetRow(ObjectRecord* popup, int32_t row, StringRecord* text);
// A row "-" (a list box row cannot be a rule on this platform).
void RuntimePopupAddSeparator(ObjectRecord* popup);
void RuntimePopupEmpty(ObjectRecord* popup);
// An object attached to a row (the row keeps a reference; the getter's
// result belongs to the caller); nil when none is.
ObjectRecord* RuntimePopupGetRowTag(ObjectRecord* popup, int32_t row);
void RuntimePopupSetRowTag(ObjectRecord* popup, int32_t row, ObjectRecord* tag);
StringRecord* popupTextFontGetter(ObjectRecord* popup);
void popupTextFontSetter(ObjectRecord* popup, uint32_t param, StringRecord* font);
int32_t popupTextSizeGetter(ObjectRecord* popup);
void popupTextSizeSetter(ObjectRecord* popup, uint32_t param, int32_t size);
bool popupBoldGetter(ObjectRecord* popup);
void popupBoldSetter(ObjectRecord* popup, uint32_t param, bool on);
bool popupItalicGetter(ObjectRecord* popup);
void popupItalicSetter(ObjectRecord* popup, uint32_t param, bool on);
bool popupUnderlineGetter(ObjectRecord* popup);
void popupUnderlineSetter(ObjectRecord* popup, uint32_t param, bool on);

// --- GroupBox ------------------------------------------------------------------------
StringRecord* groupCaptionGetter(ObjectRecord* group);
void groupCaptionSetter(ObjectRecord* group, uint32_t param, StringRecord* caption);
StringRecord* groupTextFontGetter(ObjectRecord* group);
void groupTextFontSetter(ObjectRecord* group, uint32_t param, StringRecord* font);
int32_t groupTextSizeGetter(ObjectRecord* group);
void groupTextSizeSetter(ObjectRecord* group, uint32_t param, int32_t size);
bool groupBoldGetter(ObjectRecord* group);
void groupBoldSetter(ObjectRecord* group, uint32_t param, bool on);
bool groupItalicGetter(ObjectRecord* group);
void groupItalicSetter(ObjectRecord* group, uint32_t param, bool on);
bool groupUnderlineGetter(ObjectRecord* group);
void groupUnderlineSetter(ObjectRecord* group, uint32_t param, bool on);

// --- TabPanel: Value is the 0-based selected tab --------------------------------------
int32_t tabPanelValueGetter(ObjectRecord* panel);
void tabPanelValueSetter(ObjectRecord* panel, uint32_t param, int32_t tab);

// --- ProgressBar: Maximum <= 0 makes the bar sweep (indeterminate) ---------------------
int32_t progressValueGetter(ObjectRecord* bar);
void progressValueSetter(ObjectRecord* bar, uint32_t param, int32_t value);
int32_t progressMaximumGetter(ObjectRecord* bar);
void progressMaximumSetter(ObjectRecord* bar, uint32_t param, int32_t maximum);

}  // extern "C"
