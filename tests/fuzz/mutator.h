// What a fuzz target is, and the mutations its seeds get when no coverage
// guides them: changes shaped as the reader reads its input (words that are
// counts and offsets, a description stream's tokens, a plug-in list node),
// the same sequence for the same seed. The host's seeded fuzzer and the
// replay of the Windows builders under Wine share them.
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "objects/description_stream.h"
#include "sdk/description_encoding.h"
#include "tests/fuzz/watchdog.h"

using Bytes = std::vector<uint8_t>;
inline uint32_t Size(const Bytes& b) { return static_cast<uint32_t>(b.size()); }
inline Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

// What an input is, for a mutator that does not learn it from coverage.
enum class Shape {
  kBlind,       // bytes
  kWords,       // counts, sizes and offsets as 32-bit words
  kStream,      // a description stream's packed integers and strings
  kPluginNode,  // a plug-in list node: next, size, reserved, name
};

struct ReaderTarget {
  const char* name;
  Shape shape;
  std::vector<Bytes> seeds;
  std::function<void(const Bytes&)> run;
  uint32_t wordsAround = 0;  // the block size edge words are chosen around; 0: the input's own
  // What the reader underneath lets through, for a target that builds on it:
  // its fuzzer covers the rest, so mutations here are drawn until one passes.
  std::function<bool(const Bytes&)> reads = nullptr;
};

// Where packed integers start in `b`, read as a description stream reads them.
inline std::vector<size_t> PackedIntegerStarts(const Bytes& b) {
  std::vector<size_t> starts;
  for (DescriptionStream s(b.data(), Size(b)); !s.AtEnd();) {
    starts.push_back(b.size() - s.Remaining());
    int32_t value = s.PackedInt();
    // A small positive integer may be a string's length: skip its bytes.
    if (value > 0 && value < 256 && static_cast<uint32_t>(value) <= s.Remaining())
      for (int32_t i = 0; i < value; ++i) s.Byte();
  }
  return starts;
}

class Mutator {
 public:
  explicit Mutator(uint64_t seed) : rng_(seed) {}

  uint32_t Below(uint32_t n) { return n ? static_cast<uint32_t>(rng_() % n) : 0; }
  bool OneIn(uint32_t n) { return Below(n) == 0; }

  // A word a reader will take as a count, a size or an offset into a block of
  // `size` bytes.
  uint32_t EdgeWord(uint32_t size) {
    uint32_t r = static_cast<uint32_t>(rng_()), inside = static_cast<uint32_t>(r % (uint64_t{size} + 1));
    const uint32_t edges[] = {
        0,      ~0u, size, size - 1 - r % 4, size + 1 + r % 8, 0x7FFFFFFF + r % 3, ~0u - r % 16, 1u << r % 32,
        inside, r};
    return edges[Below(10)];
  }

  // One blind change: a bit or byte, an edge word, a cut, bytes inserted, a
  // piece repeated or dropped, or a piece of `other` (else of `b`) copied over `b`'s own.
  void Blind(Bytes& b, const Bytes* other = nullptr) {
    size_t n = b.size(), at = Below(n), where = Below(n + 1);
    uint32_t kind = Below(9);
    if (kind == 4) return b.resize(where);
    for (uint32_t count = kind == 5 ? 1 + Below(16) : 0; count > 0; --count)
      b.insert(b.begin() + where, static_cast<uint8_t>(rng_()));
    if (kind < 2 && n) b[at] = kind ? static_cast<uint8_t>(rng_()) : b[at] ^ static_cast<uint8_t>(1u << Below(8));
    if ((kind == 2 || kind == 3) && n >= 4)  // an edge word, aligned or anywhere
      EdgeAt(b, kind == 2 ? Below(n / 4) * 4 : Below(n - 3), static_cast<uint32_t>(n));
    if (kind < 6 || !n) return;
    const Bytes& from = kind == 8 && other && !other->empty() ? *other : b;
    size_t start = Below(static_cast<uint32_t>(from.size()));
    size_t len = 1 + Below(std::min<size_t>(from.size() - start, 64));
    Bytes piece(from.begin() + start, from.begin() + start + len);
    if (kind == 6) b.insert(b.begin() + where, piece.begin(), piece.end());
    if (kind == 7) b.erase(b.begin() + start, b.begin() + start + len);
    if (kind == 8) std::copy_n(piece.begin(), std::min(len, n - at), b.begin() + at);
  }

  void EdgeAt(Bytes& b, size_t at, uint32_t blockSize) {
    uint32_t v = EdgeWord(blockSize);
    for (size_t i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }

  // One change of a description stream's tokens: the stream cut where a
  // token starts, a token repeated or dropped, or another value where an
  // integer (a count, a class index or a string's length) was.
  void Stream(Bytes& b) {
    std::vector<size_t> starts = PackedIntegerStarts(b);
    if (starts.empty()) return Blind(b);
    size_t pick = Below(starts.size()), at = starts[pick];
    size_t next = pick + 1 < starts.size() ? starts[pick + 1] : b.size();
    Bytes piece(b.begin() + at, b.begin() + next);
    uint32_t change = Below(4);
    if (change == 1) b.resize(at);
    if (change == 2) b.insert(b.begin() + next, piece.begin(), piece.end());
    if (change == 3) b.erase(b.begin() + at, b.begin() + next);
    if (change != 0) return;
    static const int32_t kEdges[] = {0, -1, 1, 63, 64, 127, 255, 256, 0x7FFFFFFF, INT32_MIN, -64, 100000, 0x3FFFFFFF};
    DescriptionStream token(b.data() + at, static_cast<uint32_t>(b.size() - at));
    int32_t was = token.PackedInt();
    // Near the bytes left (a length), near what it was (another class or
    // item of the same list), or an edge.
    uint32_t kind = Below(4);
    int32_t value = kind == 0   ? static_cast<int32_t>(b.size() - at + Below(8) - 4)
                    : kind == 1 ? static_cast<int32_t>(static_cast<uint32_t>(was) + Below(9) - 4)
                                : kEdges[Below(std::size(kEdges))];
    Bytes packed;
    PutPackedInt(packed, value);
    if (OneIn(8)) packed.back() |= 0x80;  // a continuation that never ends
    b.erase(b.begin() + at, b.end() - token.Remaining());
    b.insert(b.begin() + at, packed.begin(), packed.end());
  }

 private:
  std::mt19937_64 rng_;
};

// A mutated copy of one of the target's seeds: one to eight changes of its kind.
inline Bytes Mutate(Mutator& m, const ReaderTarget& t) {
  Bytes b = t.seeds[m.Below(static_cast<uint32_t>(t.seeds.size()))];
  const Bytes& other = t.seeds[m.Below(static_cast<uint32_t>(t.seeds.size()))];
  for (uint32_t n = 1 + m.Below(8); n > 0; --n) {
    if (t.shape == Shape::kStream && m.Below(3)) {
      m.Stream(b);
    } else if (t.shape == Shape::kWords && m.Below(2) && b.size() >= 4) {
      m.EdgeAt(b, m.Below(Size(b) / 4) * 4, t.wordsAround ? t.wordsAround : Size(b));
    } else if (t.shape != Shape::kPluginNode) {
      m.Blind(b, &other);
    } else if (uint32_t pick = m.Below(5); pick < 3) {
      m.EdgeAt(b, 4 * pick, Size(b));  // the node's own fields: next, size, reserved
    } else if (pick == 3 && b.size() > 12) {
      b[12] = static_cast<uint8_t>(m.Below(256));  // the name's length
    } else {
      m.Blind(b, &other);
    }
  }
  return b;
}

// Runs the target's seeds, then `inputs` mutations of them, each under the
// watchdog; prints how many and how fast. With `reachedNew` (whether the
// input just run reached code none before it had), a mutation that did is
// kept to be mutated in turn.
inline void Fuzz(const ReaderTarget& t, uint64_t inputs, uint64_t seed,
                 const std::function<bool()>& reachedNew = nullptr) {
  Mutator m(seed);
  ReaderTarget pool = t;
  uint64_t index = 0;
  auto started = std::chrono::steady_clock::now();
  for (const Bytes& s : t.seeds) watchdog::Begin(t.name, index++, s), t.run(s);
  for (uint64_t i = 0; i < inputs; ++i) {
    Bytes b = Mutate(m, pool);
    for (int tries = 0; t.reads && !t.reads(b) && tries < 1000; ++tries) b = Mutate(m, pool);
    if (reachedNew) reachedNew();  // what the check of the mutation reached is not the input's
    watchdog::Begin(t.name, index++, b);
    t.run(b);
    if (reachedNew && reachedNew()) pool.seeds.push_back(b);
  }
  watchdog::End();
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  std::string kept = reachedNew ? ", " + std::to_string(pool.seeds.size() - t.seeds.size()) + " kept" : "";
  std::printf("%-14s %3zu seeds, %llu inputs, %.0f inputs/s%s\n", t.name, t.seeds.size(),
              static_cast<unsigned long long>(inputs), inputs / std::max(took.count(), 1e-9), kept.c_str());
  std::fflush(stdout);
}
