// The runtime's case-insensitive name index: 256 hash buckets plus a list in
// insertion order. It indexes the built-in classes by name, the entry points
// for plug-ins and the controls of each window.
#pragma once
#include <cstdint>
#include <string_view>

#include "sdk/runtime_records.h"

struct NameMapEntry {
  NameMapEntry* nextInBucket;
  NameMapEntry* nextInOrder;
  uint32_t hash;
  StringRecord* name;
  uint32_t value;
};

class NameMap {
 public:
  NameMap() = default;
  NameMap(const NameMap&) = delete;
  NameMap& operator=(const NameMap&) = delete;
  ~NameMap() { Clear(); }

  // The hash of a name: a-z folded to upper case, then h = h * 4 ^ c for
  // each byte taken as a signed value. Its low byte picks the bucket.
  static uint32_t Hash(std::string_view name);

  // Sets the value of `name`; an entry whose name is equal ignoring case
  // keeps its place and gets the new value.
  void Insert(std::string_view name, uint32_t value);
  // The value of `name`, or 0 when there is none.
  uint32_t Find(std::string_view name) const;
  // Entries in the order they were first inserted.
  const NameMapEntry* First() const { return first_; }
  int32_t Count() const { return count_; }
  void Clear();

 private:
  NameMapEntry* Lookup(std::string_view name, uint32_t hash) const;

  NameMapEntry* buckets_[256] = {};
  NameMapEntry* first_ = nullptr;
  NameMapEntry* last_ = nullptr;
  int32_t count_ = 0;
};
