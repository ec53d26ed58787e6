/* A file that fails part-way, as one on a network drive that goes away does:
   no file on a test machine does that, so this library, preloaded into the
   32-bit Wine process that runs the program, makes Wine's own reads of one
   file fail (EIO) from a given byte on. The program is the one users get;
   only what the system hands it changes.

       VELLORY_READ_FAIL_PATH  the file's full Unix path, as /proc shows it
       VELLORY_READ_FAIL_AT    the byte from which reads of it fail

   Built with -nostdlib (the build machine has no 32-bit C headers or start
   files), so what it needs of the C library is declared here. */
typedef unsigned int size_t;
typedef int ssize_t;
typedef long long off64_t;

extern void* dlsym(void* handle, const char* name);
extern char* getenv(const char* name);
extern long atol(const char* text);
extern int* __errno_location(void);
extern ssize_t readlink(const char* path, char* into, size_t size);
extern int snprintf(char* into, size_t size, const char* format, ...);
extern int strcmp(const char* a, const char* b);
extern off64_t lseek64(int fd, off64_t offset, int whence);

#define RTLD_NEXT ((void*)-1l)
#define SEEK_CUR 1
#define EIO 5

/* Whether fd is the file the environment names. */
static int IsFailingFile(int fd, const char* path) {
  char link[32], target[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t length = readlink(link, target, sizeof target - 1);
  if (length < 0) return 0;
  target[length] = 0;
  return strcmp(target, path) == 0;
}

/* How many of `size` bytes a read of fd at its current place may take; -1
   when it fails there. */
static ssize_t Allowance(int fd, size_t size) {
  const char* path = getenv("VELLORY_READ_FAIL_PATH");
  const char* at = getenv("VELLORY_READ_FAIL_AT");
  if (!path || !at || !IsFailingFile(fd, path)) return (ssize_t)size;
  off64_t place = lseek64(fd, 0, SEEK_CUR);
  off64_t limit = atol(at);
  if (place >= limit) return -1;
  return place + (off64_t)size > limit ? (ssize_t)(limit - place) : (ssize_t)size;
}

ssize_t read(int fd, void* into, size_t size) {
  static ssize_t (*real)(int, void*, size_t);
  if (!real) real = (ssize_t (*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
  ssize_t allowed = size ? Allowance(fd, size) : 0;
  if (allowed < 0) {
    *__errno_location() = EIO;
    return -1;
  }
  return real(fd, into, (size_t)allowed);
}
