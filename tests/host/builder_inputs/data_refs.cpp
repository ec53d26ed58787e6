// Pointers in data to code and to data: in .data, in .rdata, unaligned in a
// packed struct, and either side of a gap of more than 4,096 bytes.
struct __attribute__((packed)) Packed {
  char tag;
  int* pointer;
  char tag2;
  int (*function)(int);
};
struct Gapped {
  int* before;
  char pad[6000];
  int* after;
};
struct Mixed {
  int (*first)(int);
  int* second;
  int (*third)(int);
};

extern "C" {
int table[4] = {10, 20, 30, 40};
int zeros[64] = {};
int HandlerA(int a) { return a + 1; }
int HandlerB(int a) { return a + 2; }
extern int (*const handlers[2])(int);
int (*const handlers[2])(int) = {&HandlerA, &HandlerB};
Packed packed = {'p', &table[2], 'q', &HandlerB};
Gapped gapped = {&table[0], {1, 2, 3}, &zeros[3]};
Mixed mixed = {&HandlerA, &table[0], &HandlerB};
}
