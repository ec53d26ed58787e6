// The project record and items; see project_record.h.
#include "startup/project_record.h"

#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "startup/project_items.h"

bool ReadProjectLists(uint32_t record, MemorySpan data, ProjectLists& out) {
  SpanReader r(record, data);
  out.classCount = r.Count(4, image::kMaxClasses);
  if (!r.Ok()) return false;
  SpanReader items(record + 4ull + 4ull * out.classCount, data);
  out.itemCount = items.Count(4, image::kMaxItems);
  out.items = static_cast<uint32_t>(record + 8ull + 4ull * out.classCount);
  return items.Ok();
}

bool ReadProjectItem(uint32_t address, MemorySpan data, ProjectItem& out) {
  SpanReader r(address, data);
  out.type = r.Word();
  switch (out.type) {
    case kPictureItem: {
      out.value = r.Word();
      const uint8_t* description = r.Bytes(16);
      if (!description) return false;
      uint32_t pixels = ReadU32LE(description + 12);
      out.bytes = description;
      out.length = 16 + pixels;
      return r.Bytes(pixels) != nullptr;
    }
    case kMenuBarItem:
      out.length = r.Word();
      out.bytes = r.Bytes(out.length);
      return r.Ok();
    case kSettingsItem:
      r.Word();  // reserved list head
      out.length = r.Word();
      out.bytes = r.Bytes(out.length);
      return r.Ok();
    case kModuleItem:
      out.value = r.Word();
      out.slot = r.Word();
      return r.Ok() && r.Holds(out.slot, 4);
    case kSoundItem:
      out.value = r.Word();
      out.bytes = r.Bytes(0);
      return r.Ok();
    case kMovieItem:
    case kResourceItemA:
    case kResourceItemB:
    case kMouseCursorItem:
      out.value = r.Word();
      return r.Ok();
    case kDatabaseItem: {
      out.value = r.Word();
      uint32_t name = r.Word();
      out.first = r.Word();
      out.second = r.Word();
      if (!r.Ok() || !r.Holds(name, out.value)) return false;
      out.bytes = reinterpret_cast<const uint8_t*>(uintptr_t{name});
      out.length = out.value;
      return true;
    }
    default:
      return false;
  }
}
