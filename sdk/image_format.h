// The stored form of an application image, shared by the runtime's loader and
// the host-side image builder so that neither can drift from the other.
//
// An image is four blocks back to back, each a u32 length and that many bytes:
// code, code fixups, data, data fixups. The PICKLE resource of the program file
// (the locator) says where the image and the optional resource archive start.
#pragma once
#include <cstddef>
#include <cstdint>

namespace image {

// The locator resource: type name "PICKLE", id 101, language 1033, 8 bytes.
struct Locator {
  uint32_t imageOffset;    // "PICK" here: not filled, use the .dat files
  uint32_t archiveOffset;  // kNoArchive when the program has none
};
static_assert(sizeof(Locator) == 8);
static_assert(offsetof(Locator, archiveOffset) == 4);

inline constexpr char kLocatorType[] = "PICKLE";
inline constexpr uint16_t kLocatorId = 101;
inline constexpr uint16_t kLocatorLanguage = 1033;
inline constexpr uint32_t kNoArchive = 0xFFFFFFFFu;
inline constexpr char kPlaceholderTag[4] = {'P', 'I', 'C', 'K'};

// Block order inside an appended image.
enum Block { kCode = 0, kCodeFixups = 1, kData = 2, kDataFixups = 3, kBlockCount = 4 };

// The separate-file form: each file holds one block's bytes, no length prefix.
inline constexpr const char* kCodeFile = "code1.dat";
inline constexpr const char* kCodeFixupsFile = "code2.dat";
inline constexpr const char* kDataFile = "data1.dat";
inline constexpr const char* kDataFixupsFile = "data2.dat";
inline constexpr const char* kArchiveFile = "data3.dat";

// Code fixup records: a type byte, then the fields of that type.
inline constexpr uint8_t kImportRecord = 1;         // u32 head, u8 n, n name bytes
inline constexpr uint8_t kDataReferenceRecord = 2;  // u32 site offset

// Data fixup words.
inline constexpr uint16_t kAdvanceMask = 0xF000;
inline constexpr uint16_t kAdvance = 0x8000;      // cursor += (w & 0x0FFF) + 1
inline constexpr uint16_t kRunMask = 0xFE00;
inline constexpr uint16_t kRunCountMask = 0x01FF;  // run of (w & 0x1FF) + 1 words
inline constexpr uint16_t kCodeRun = 0x4000;
inline constexpr uint16_t kDataRun = 0x4200;
inline constexpr uint16_t kCodeRunAlt = 0x4600;
inline constexpr uint32_t kMaxAdvance = 0x1000;
inline constexpr uint32_t kMaxRun = 0x200;

// Limits of a stored application, far above any real one (a real one has
// tens of classes and items, tens of members in its largest class, and
// classes a few deep). Larger is damage; within them start-up work is linear.
inline constexpr uint32_t kMaxClasses = 1u << 16;
inline constexpr uint32_t kMaxItems = 1u << 16;
inline constexpr uint32_t kMaxMembers = 1u << 12;    // in each list of one class descriptor
inline constexpr uint32_t kMaxClassDepth = 256;      // classes from one up to its root, itself included
inline constexpr uint32_t kMaxInstanceSize = 1u << 20;  // bytes of one object, header included

// Data block: the entry function's code offset, then the project record's.
inline constexpr uint32_t kEntryOffsetField = 0;
inline constexpr uint32_t kProjectRecordField = 4;

}  // namespace image
