// Entry points that read their object as one class's layout, given nil or an
// object of another class (as a damaged image hands them): each answers what
// it answers for nil and changes nothing, neither the object nor the bytes
// after it, where a wrong layout's fields would lie.
#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/strings.h"
#include "sdk/vellory.h"

namespace {

// What a call answered, as a number: a string's length, whether an object came
// back, 0 for nothing. References handed back are released.
template <typename Call>
int64_t Outcome(Call call) {
  using R = decltype(call());
  if constexpr (std::is_void_v<R>) {
    call();
    return 0;
  } else if constexpr (std::is_same_v<R, StringRecord*>) {
    return StringRef::Adopt(call()).View().size();
  } else if constexpr (std::is_same_v<R, ObjectRecord*>) {
    ObjectRecord* o = call();
    RuntimeUnlockObject(o);
    return o != nullptr;
  } else if constexpr (std::is_pointer_v<R>) {
    return call() != nullptr;
  } else {
    return static_cast<int64_t>(call());
  }
}

struct Row {
  const char* call;
  int64_t (*run)(ObjectRecord* o);
  const char* wrongClass = "Timer";  // the smallest control: a kind's fields lie past its end
  int64_t nilAnswer = 0;
};
#define ROW(expr, ...) {#expr, [](ObjectRecord* o) { return Outcome([&] { return expr; }); }, __VA_ARGS__}

StringRecord* Word() {
  static StringRecord* word = NewString("word");
  return word;
}
PluginRect gRect;
PluginPictureDescription gPicture;

const Row kRows[] = {
    // --- control kinds
    ROW(editTextSetter(o, 0, Word())),
    ROW(editTextGetter(o)),
    ROW(editLimitTextSetter(o, 0, 7)),
    ROW(editBorderSetter(o, 0, false)),
    ROW(editReadOnlySetter(o, 0, true)),
    ROW(editSelStartGetter(o)),
    ROW(editSelTextSetter(o, 0, Word())),
    ROW(editTextSizeSetter(o, 0, 9)),
    ROW(editBoldGetter(o)),
    ROW(staticCaptionSetter(o, 0, Word())),
    ROW(staticTextColorSetter(o, 0, 0xFF)),
    ROW(staticAttributeSetter(o, 88, true)),
    ROW(pushButtonTitleSetter(o, 0, Word())),
    ROW(pushButtonDefaultSetter(o, 0, true)),
    ROW(pushButtonCancelGetter(o)),
    ROW(pushButtonPush(o)),
    ROW(checkBoxValueSetter(o, 0, true)),
    ROW(checkBoxTitleGetter(o)),
    ROW(checkBoxUnderlineSetter(o, 0, true)),
    ROW(RuntimePopupAddRow(o, Word())),
    ROW(RuntimePopupSelectionGetter(o), "Timer", -1),
    ROW(popupTextFontSetter(o, 0, Word())),
    ROW(groupCaptionSetter(o, 0, Word())),
    ROW(groupItalicSetter(o, 0, true)),
    ROW(tabPanelValueSetter(o, 0, 2)),
    ROW(tabPanelValueGetter(o)),
    ROW(progressMaximumSetter(o, 0, 100)),
    ROW(progressValueSetter(o, 0, 50)),
    ROW(progressValueGetter(o)),
    // --- every control, every control with a rectangle
    ROW(ctlPosSetter(o, 2, 40)),
    ROW(ctlPosGetter(o, 0)),
    ROW(ControlVisibleSetter(o, 0, true)),
    ROW(controlEnabledGetter(o)),
    ROW(controlLockBottomSetter(o, 0, true)),
    ROW(controlBalloonHelpSetter(o, 0, Word())),
    ROW(controlMouseXGetter(o)),
    ROW(RuntimeSetFocus(o)),
    ROW(RuntimeControlRefreshRect(o, 0, 0, 5, 5)),
    ROW(controlWindowGetter(o), "Date"),
    ROW(GetControlBounds(o, &gRect)),
    ROW(GetControlHWND(o)),
    ROW(ZORBInvalidateControl(o)),
    // --- timers, windows
    ROW(timerModeGetter(o), "ProgressBar"),
    ROW(timerModeSetter(o, 0, kTimerRepeating), "ProgressBar"),
    ROW(timerPeriodSetter(o, 0, 250), "ProgressBar"),
    ROW(windowTitleSetter(o, 0, Word())),
    ROW(windowTitleGetter(o, 0)),
    ROW(windowPosSetter(o, 2, 300)),
    ROW(windowBackColorSetter(o, 0, 0xFF)),
    ROW(WindowVisibleGetter(o, 0)),
    ROW(windowZoomIconSetter(o, 0, true)),
    ROW(windowControl(o, 0)),
    ROW(windowGraphicsGetter(o, 0)),
    ROW(RuntimeShowWindow(o)),
    ROW(RuntimeCloseWindow(o)),
    ROW(RuntimeControlFetch(o, Word())),
    ROW(formRefresh(o)),
    // --- drawing, menus
    ROW(graphicsPenWidthSetter(o, 0, 3)),
    ROW(graphicsWidthGetter(o, 0)),
    ROW(RuntimeGraphicsFillRect(o, 0, 0, 5, 5)),
    ROW(ZORBGraphicsDC(o)),
    ROW(lockPictureDescription(o, &gPicture)),
    ROW(menuItemTextSetter(o, 0, Word())),
    ROW(menuItemTextGetter(o)),
    ROW(RuntimeEnableMenu(o)),
    // --- services
    ROW(serialOpen(o)),
    ROW(serialWrite(o, Word())),
    ROW(serialWriteSome(o, Word(), 10), "Timer", -1),
    ROW(serialReadAll(o)),
    ROW(clipboardSetText(o, Word())),
    ROW(clipboardTextAvailable(o)),
    ROW(dateFieldSetter(o, 0, 1999)),
    ROW(dateStringGetter(o, 1)),
    ROW(dateTotalSecondsGetter(o)),
    ROW(textEncodingBaseGetter(o)),
    ROW(getTextConverter(o, o)),
    ROW(textConverterConvert(o, Word())),
    ROW(fileNameSetter(o, 0, Word())),
    ROW(fileExistsGetter(o)),
    ROW(folderSetModified(o, 0, o)),
    ROW(FolderItemOpenTextFile(o)),
    ROW(TextInputStreamReadLine(o)),
    ROW(TextInputStreamClose(o)),
    ROW(TextOutputStreamWriteLine(o, Word())),
    ROW(TextOutputStreamClose(o)),
};

// An object of the class `name` in a block of its own: its fields zero (so
// that a cast gone wrong finds no pane or handle to follow), then a pattern
// well past its end.
struct Stranger {
  alignas(8) uint8_t bytes[2048] = {};
  explicit Stranger(const char* name) {
    ClassRecord* cls = FindBuiltInClass(name);
    std::memset(bytes + cls->instanceSize, 0xA5, sizeof bytes - cls->instanceSize);
    Object()->refCount = 1;
    Object()->cls = cls;
  }
  ObjectRecord* Object() { return reinterpret_cast<ObjectRecord*>(bytes); }
  std::vector<uint8_t> Snapshot() const { return {bytes, bytes + sizeof bytes}; }
};

TEST(EntryClassChecks, NilAndObjectsOfOtherClassesAreAnsweredAsNilAndLeftAlone) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.call);
    EXPECT_EQ(row.run(nullptr), row.nilAnswer);
    Stranger stranger(row.wrongClass);
    std::vector<uint8_t> before = stranger.Snapshot();
    EXPECT_EQ(row.run(stranger.Object()), row.nilAnswer) << "given a " << row.wrongClass;
    EXPECT_TRUE(stranger.Snapshot() == before) << "a " << row.wrongClass << " was written to";
  }
  EXPECT_EQ(gRect.top | gRect.left | gRect.bottom | gRect.right, 0);
  EXPECT_EQ(gPicture.picture, nullptr);
}

}  // namespace
