// Enumeration names in string-table order, "=#468" to "=#506".
#include "plugin_library/design_names.h"

const char* const kBevelNames[3] = {"=#468", "=#469", "=#470"};
const char* const kButtonTypeNames[3] = {"=#471", "=#472", "=#473"};
const char* const kIconAlignNames[10] = {"=#474", "=#475", "=#476", "=#477", "=#478",
                                         "=#479", "=#480", "=#481", "=#482", "=#483"};
const char* const kCaptionAlignNames[4] = {"=#484", "=#485", "=#486", "=#487"};
const char* const kCaptionPlacementNames[6] = {"=#488", "=#489", "=#490",
                                               "=#491", "=#492", "=#493"};
const char* const kHasMenuNames[3] = {"=#494", "=#495", "=#496"};
const char* const kDisclosureFacingNames[2] = {"=#497", "=#498"};
const char* const kPopupArrowFacingNames[8] = {"=#499", "=#500", "=#501", "=#502",
                                               "=#503", "=#504", "=#505", "=#506"};

const char* const kMouseDownDeclaration = "MouseDown(X As Integer, Y As Integer) As Boolean";
const char* const kMouseDragDeclaration = "MouseDrag(X As Integer, Y As Integer)";
const char* const kMouseUpDeclaration = "MouseUp(X As Integer, Y As Integer)";
