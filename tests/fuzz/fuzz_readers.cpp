// The seeded fuzzer of the test suite: every target of reader_targets.h,
// built natively under the sanitizers, gets mutations of its real inputs
// shaped as the reader reads them, the same sequence for the same seed, each
// input under a time limit. Blind but fast to build and repeatable, so the
// suite runs it on every change; `make fuzz` runs the coverage-guided
// fuzzer on the same targets. A finding becomes a case of the reader's unit test.
//
//   reader-fuzz IMAGE_DIR PREFS_EXPECTED [--inputs N] [--seed S] [--only NAME] [--timeout S]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>

#include "objects/description_stream.h"
#include "sdk/description_encoding.h"
#include "tests/fuzz/reader_targets.h"
#include "tests/fuzz/watchdog.h"

namespace {

// Where packed integers start in `b`, read as a description stream reads them.
std::vector<size_t> PackedIntegerStarts(const Bytes& b) {
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
  // token starts, a token repeated or dropped, or an edge value where an
  // integer (a count or a string's length) was.
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
    token.PackedInt();
    Bytes packed;
    PutPackedInt(packed, OneIn(4) ? static_cast<int32_t>(b.size() - at + Below(8) - 4)
                                  : kEdges[Below(std::size(kEdges))]);
    if (OneIn(8)) packed.back() |= 0x80;  // a continuation that never ends
    b.erase(b.begin() + at, b.end() - token.Remaining());
    b.insert(b.begin() + at, packed.begin(), packed.end());
  }

 private:
  std::mt19937_64 rng_;
};

// A mutated copy of one of the target's seeds: one to eight changes of its kind.
Bytes Mutate(Mutator& m, const ReaderTarget& t) {
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
// watchdog; prints how many and how fast.
void Fuzz(const ReaderTarget& t, uint64_t inputs, uint64_t seed) {
  Mutator m(seed);
  uint64_t index = 0;
  auto started = std::chrono::steady_clock::now();
  for (const Bytes& s : t.seeds) watchdog::Begin(t.name, index++, s), t.run(s);
  for (uint64_t i = 0; i < inputs; ++i) {
    Bytes b = Mutate(m, t);
    watchdog::Begin(t.name, index++, b);
    t.run(b);
  }
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  std::printf("%-14s %3zu seeds, %llu inputs, %.0f inputs/s\n", t.name, t.seeds.size(),
              static_cast<unsigned long long>(inputs), inputs / std::max(took.count(), 1e-9));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3)
    FuzzFail("usage: reader-fuzz IMAGE_DIR PREFS_EXPECTED [--inputs N] [--seed S] [--only NAME] [--timeout S]");
  std::map<std::string, std::string> flags = {
      {"--inputs", "100000"}, {"--seed", "1"}, {"--only", ""}, {"--timeout", "5"}};
  for (int i = 3; i + 1 < argc; i += 2) flags[argv[i]] = argv[i + 1];
  uint64_t inputs = std::stoull(flags["--inputs"]), seed = std::stoull(flags["--seed"]);
  std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
  ReaderTargets targets(argv[1], argv[2]);
  const std::string& only = flags["--only"];
  if (!only.empty() && !targets.Find(only)) FuzzFail("no target " + only);
  watchdog::Start(static_cast<unsigned>(std::stoul(flags["--timeout"])), seed);
  for (const ReaderTarget& t : targets.All())
    if (only.empty() || only == t.name) Fuzz(t, inputs, seed);
  return 0;
}
