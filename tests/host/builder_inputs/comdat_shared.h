// An inline function and a template's static data, compiled into both
// comdat_a.cpp and comdat_b.cpp as COMDAT copies.
extern "C" int StringLen(const char* s);

template <class T>
struct Counter {
  static int value;
};
template <class T>
int Counter<T>::value = 5;

inline __attribute__((noinline)) int SharedInline(int a) {
  Counter<int>::value += a;
  return StringLen("shared") + Counter<int>::value;
}
