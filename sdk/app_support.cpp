// The few C library routines that the compiler itself may call from
// application code (block copies and clears of structures). Application code
// has no C library, so they are compiled into every image.
#include <stddef.h>
#include <stdint.h>

extern "C" {

void* memcpy(void* to, const void* from, size_t n) {
  auto* d = static_cast<uint8_t*>(to);
  auto* s = static_cast<const uint8_t*>(from);
  while (n--) *d++ = *s++;
  return to;
}

void* memmove(void* to, const void* from, size_t n) {
  auto* d = static_cast<uint8_t*>(to);
  auto* s = static_cast<const uint8_t*>(from);
  if (d < s) {
    while (n--) *d++ = *s++;
  } else {
    while (n--) d[n] = s[n];
  }
  return to;
}

void* memset(void* to, int value, size_t n) {
  auto* d = static_cast<uint8_t*>(to);
  while (n--) *d++ = static_cast<uint8_t>(value);
  return to;
}

int memcmp(const void* a, const void* b, size_t n) {
  auto* x = static_cast<const uint8_t*>(a);
  auto* y = static_cast<const uint8_t*>(b);
  for (; n--; ++x, ++y)
    if (*x != *y) return *x < *y ? -1 : 1;
  return 0;
}

}  // extern "C"
