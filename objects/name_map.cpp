// NameMap; see name_map.h. Entries hold their name as a runtime string and
// live in the tagged allocator until the map is cleared.
#include "objects/name_map.h"

#include "objects/collation.h"
#include "objects/strings.h"
#include "objects/tagged_alloc.h"

uint32_t NameMap::Hash(std::string_view name) {
  uint32_t h = 0;
  for (char ch : name) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    int32_t c = static_cast<signed char>(ch);
    h = (h * 4) ^ static_cast<uint32_t>(c);
  }
  return h;
}

NameMapEntry* NameMap::Lookup(std::string_view name, uint32_t hash) const {
  for (NameMapEntry* e = buckets_[hash & 0xFF]; e; e = e->nextInBucket)
    if (e->hash == hash && CollateEqual(StringView(e->name), name)) return e;
  return nullptr;
}

void NameMap::Insert(std::string_view name, uint32_t value) {
  uint32_t hash = Hash(name);
  if (NameMapEntry* e = Lookup(name, hash)) {
    e->value = value;
    return;
  }
  auto* e = static_cast<NameMapEntry*>(TaggedAlloc(sizeof(NameMapEntry)));
  e->hash = hash;
  e->name = NewString(name);
  e->value = value;
  e->nextInBucket = buckets_[hash & 0xFF];
  buckets_[hash & 0xFF] = e;
  if (last_)
    last_->nextInOrder = e;
  else
    first_ = e;
  last_ = e;
  ++count_;
}

uint32_t NameMap::Find(std::string_view name) const {
  NameMapEntry* e = Lookup(name, Hash(name));
  return e ? e->value : 0;
}

void NameMap::Clear() {
  for (NameMapEntry* e = first_; e;) {
    NameMapEntry* next = e->nextInOrder;
    RuntimeUnlockString(e->name);
    TaggedFree(e);
    e = next;
  }
  for (auto& b : buckets_) b = nullptr;
  first_ = last_ = nullptr;
  count_ = 0;
}
