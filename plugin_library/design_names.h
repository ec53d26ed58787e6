// The design-time names of the enumerated property values: references into
// a string table the design environment owns ("=#468" onwards).
#pragma once

extern const char* const kBevelNames[3];
extern const char* const kButtonTypeNames[3];
extern const char* const kIconAlignNames[10];
extern const char* const kCaptionAlignNames[4];
extern const char* const kCaptionPlacementNames[6];
extern const char* const kHasMenuNames[3];
extern const char* const kDisclosureFacingNames[2];
extern const char* const kPopupArrowFacingNames[8];

// The three mouse events shared by ImageWell, PopupArrow and Placard.
extern const char* const kMouseDownDeclaration;
extern const char* const kMouseDragDeclaration;
extern const char* const kMouseUpDeclaration;
