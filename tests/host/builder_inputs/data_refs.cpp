// Pointers in data to code and to data: in .data, in .rdata, unaligned in a
// packed struct, either side of a gap of more than 4,096 bytes, and a run of
// more than 512.
extern "C" {
int table[4] = {10, 20, 30, 40};
int zeros[64] = {};
}

extern "C" int HandlerA(int a) { return a + 1; }
extern "C" int HandlerB(int a) { return a + 2; }

extern "C" int (*const handlers[2])(int) = {&HandlerA, &HandlerB};

struct __attribute__((packed)) Packed {
  char tag;
  int* pointer;
  char tag2;
  int (*function)(int);
};
extern "C" {
Packed packed = {'p', &table[2], 'q', &HandlerB};
}

struct Gapped {
  int* before;
  char pad[6000];
  int* after;
};
extern "C" {
Gapped gapped = {&table[0], {1, 2, 3}, &zeros[3]};
}

struct Mixed {
  int (*first)(int);
  int* second;
  int (*third)(int);
};
extern "C" {
Mixed mixed = {&HandlerA, &table[0], &HandlerB};
}

struct Many {
  int* p[600];
};
constexpr Many MakeMany() {
  Many m{};
  for (int i = 0; i < 600; ++i) m.p[i] = &table[i % 4];
  return m;
}
extern "C" {
constinit Many many = MakeMany();
}
