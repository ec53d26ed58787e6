// Reading stored records through a SpanReader. A damaged image can hold any
// address, aligned or not: every read at one stays inside its span and is a
// plain byte read (the fuzz test found word reads at odd addresses).
#include "objects/memory_span.h"

#include <gtest/gtest.h>

#include <cstring>

#include "sdk/le_bytes.h"

#ifndef _WIN32
#include <sys/mman.h>
#endif

namespace {

// 64 bytes at an address a stored 32-bit word can hold, as in the program.
struct Block {
#ifdef _WIN32
  uint8_t bytes[64] = {};
  uint8_t* data() { return bytes; }
#else
  uint8_t* mapped = static_cast<uint8_t*>(
      mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0));
  ~Block() { munmap(mapped, 4096); }
  uint8_t* data() { return mapped; }
#endif
  size_t size() const { return 64; }
};

uintptr_t At(Block& b, size_t offset) { return reinterpret_cast<uintptr_t>(b.data()) + offset; }

TEST(SpanReader, WordsAndTextsAtAnyAddressStayInTheSpan) {
  Block block;
  MemorySpan span{At(block, 0), block.size()};
  // A word at an odd address, then a StringRecord at another: count, buffer,
  // buffer size, length, with the buffer's text "abc" after a length byte.
  WriteU32LE(block.data() + 1, 0x11223344);
  size_t record = 7, text = 30;
  WriteU32LE(block.data() + record + 4, static_cast<uint32_t>(At(block, text)));
  WriteU32LE(block.data() + record + 12, 3);
  memcpy(block.data() + text, "\x03" "abc", 4);
  WriteU32LE(block.data() + 41, static_cast<uint32_t>(At(block, record)));

  SpanReader words(At(block, 1), span);
  EXPECT_EQ(words.Word(), 0x11223344u);
  SpanReader texts(At(block, 41), span);
  EXPECT_EQ(texts.Text(), "abc");
  EXPECT_TRUE(texts.Ok());

  struct Row {
    const char* what;
    size_t at;
    bool text;
  };
  const Row past[] = {{"a word across the end", 61, false}, {"a word past the end", 64, false},
                      {"a text whose record crosses the end", 57, true}};
  for (const Row& r : past) {
    WriteU32LE(block.data() + 57, static_cast<uint32_t>(At(block, 55)));
    SpanReader reader(At(block, r.at), span);
    if (r.text) reader.Text(); else reader.Word();
    EXPECT_FALSE(reader.Ok()) << r.what;
    EXPECT_EQ(reader.Word(), 0u) << r.what << ": once failed, reads give 0";
  }
}

}  // namespace
