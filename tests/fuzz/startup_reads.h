// What the fuzz tools share: blocks placed below 4 GB as start-up has them
// (stored addresses are 32-bit words), imports all taken as offered, and
// start-up's reading of a linked data block, every read seen by the sanitizers.
#pragma once
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "objects/class_descriptor.h"
#include "sdk/image_format.h"
#include "sdk/le_bytes.h"
#include "tests/fuzz/mutator.h"
#include "services/pictures_layout.h"
#include "services/settings.h"
#include "startup/code_linker.h"
#include "startup/project_items.h"
#include "startup/project_record.h"
#include "ui/menu_description.h"

inline bool Word(const Bytes& b, uint64_t at, uint32_t& value) {
  if (at + 4 > b.size()) return false;
  value = ReadU32LE(b.data() + at);
  return true;
}
// The image reader's LengthReader over a program file held in Bytes.
inline bool LengthInBytes(void* file, uint64_t at, uint32_t& length) {
  return Word(*static_cast<const Bytes*>(file), at, length);
}

// Sums what a reader hands back, so that the reads cannot be left out.
inline volatile uint32_t gSink = 0;
inline void Touch(const void* bytes, size_t n) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  uint32_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum += p[i];
  gSink = gSink + sum;
}

inline uint32_t WordAt(uint32_t address) { return ReadU32LE(reinterpret_cast<const uint8_t*>(uintptr_t{address})); }
inline uint32_t Low(const uint8_t* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

// Bytes placed below 4 GB against an inaccessible page: a read past them faults.
class LowBlock {
 public:
  explicit LowBlock(size_t capacity) : pages_((capacity + 4095) / 4096 * 4096 + 4096) {
#ifdef _WIN32  // a 32-bit process has nothing above 4 GB
    DWORD was;
    base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, pages_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!base_ || !VirtualProtect(base_ + pages_ - 4096, 4096, PAGE_NOACCESS, &was)) std::abort();
  }
  ~LowBlock() { VirtualFree(base_, 0, MEM_RELEASE); }
#else
    base_ = static_cast<uint8_t*>(
        mmap(nullptr, pages_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0));
    if (base_ == MAP_FAILED || mprotect(base_ + pages_ - 4096, 4096, PROT_NONE)) std::abort();
  }
  ~LowBlock() { munmap(base_, pages_); }
#endif
  LowBlock(const LowBlock&) = delete;
  LowBlock& operator=(const LowBlock&) = delete;
  uint8_t* Place(const uint8_t* bytes, size_t n) {
    if (n > pages_ - 4096) std::abort();
    uint8_t* at = base_ + pages_ - 4096 - n;
    if (n) memcpy(at, bytes, n);
    return at;
  }
  uint8_t* Place(const Bytes& b) { return Place(b.data(), b.size()); }

 private:
  size_t pages_;
  uint8_t* base_;
};

#ifndef _WIN32
// A block that a pass writes, had back as it was for every input: a private
// mapping of a memory file that holds it, whose written pages are dropped,
// so that only they are read again (copying the 700 KB data block for each
// input would cost more than the pass). It ends against an inaccessible page.
class FreshBlock {
 public:
  explicit FreshBlock(const Bytes& real) : length_(real.size()), pages_((real.size() + 4095) / 4096 * 4096) {
    int file = memfd_create("fresh-block", 0);
    if (file < 0 || ftruncate(file, static_cast<off_t>(pages_)) ||
        pwrite(file, real.data(), length_, static_cast<off_t>(pages_ - length_)) != static_cast<ssize_t>(length_))
      std::abort();
    base_ = static_cast<uint8_t*>(mmap(nullptr, pages_ + 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (base_ == MAP_FAILED ||
        mmap(base_, pages_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, file, 0) == MAP_FAILED)
      std::abort();
    close(file);
  }
  ~FreshBlock() { munmap(base_, pages_ + 4096); }
  FreshBlock(const FreshBlock&) = delete;
  FreshBlock& operator=(const FreshBlock&) = delete;
  // The block as it was first.
  uint8_t* Fresh() {
    if (madvise(base_, pages_, MADV_DONTNEED)) std::abort();
    return base_ + pages_ - length_;
  }
  uint32_t Length() const { return static_cast<uint32_t>(length_); }

 private:
  size_t length_, pages_;
  uint8_t* base_;
};
#endif

struct AcceptAll : ImportResolver {
  explicit AcceptAll(uint32_t address) : target(address) {}
  bool Resolve(const ImportName& import, uint32_t& address, std::string&) override {
    Touch(import.routine.data(), import.routine.size());
    address = target;
    return true;
  }
  bool Defer(const ImportName&, uint32_t, std::string&) override { return true; }
  uint32_t target;
};

// Reads the linked data block as start-up does, on after a refusal; whether
// it was read whole.
inline bool ReadProject(MemorySpan data, MemorySpan code) {
  uint32_t record = WordAt(static_cast<uint32_t>(data.start) + image::kProjectRecordField);
  ProjectLists lists;
  if (!ReadProjectLists(record, data, lists)) return false;
  bool whole = true;
  for (uint32_t i = 0; i < lists.classCount; ++i) {
    ClassDescriptor d;
    if (!ReadClassDescriptor(WordAt(record + 4 + 4 * i), data, code, d)) {
      whole = false;
      continue;
    }
    Touch(d.name.data(), d.name.size());
    for (const auto* members : {&d.methods, &d.handlers, &d.menuHandlers})
      for (const DescribedMember& member : *members) Touch(member.name.data(), member.name.size());
    if (d.vtableCount) Touch(reinterpret_cast<const uint8_t*>(uintptr_t{d.vtable}), 4ull * d.vtableCount);
    if (d.kind == 0 && !InstanceSizeFits(d.instanceSize)) whole = false;
  }
  for (uint32_t n = 0; n < lists.itemCount; ++n) {
    uint32_t address = WordAt(lists.items + 4 * n);
    ProjectItem item;
    if (!address) continue;
    if (!ReadProjectItem(address, data, item)) {
      whole = false;
      continue;
    }
    uint32_t ends = std::min<uint32_t>(item.length, 64);  // a misplaced run reads past one of its ends
    if (item.bytes) Touch(item.bytes, ends), Touch(item.bytes + item.length - ends, ends);
    AppSettings settings;
    std::vector<MenuEntryDescription> menus;
    uint32_t header[4] = {};
    if (item.type == kPictureItem) memcpy(header, item.bytes, sizeof header);
    if (item.type == kSettingsItem && !ParseSettings(item.bytes, item.length, settings)) whole = false;
    if (item.type == kMenuBarItem && !ReadMenuBarDescription(item.bytes, item.length, menus)) whole = false;
    if (item.type == kPictureItem && !StoredPictureFits(header)) whole = false;
  }
  return whole;
}
