// One running copy of the application. The first copy takes a named mutex
// and holds it for as long as it runs: the system lets go of it when the
// process ends, however it ends, so a crashed copy never locks the user
// out. Beside the mutex a small named mapping holds the copy's main window
// handle; a copy started later finds the mutex held, brings that window to
// the front instead and is told to end. The names have no namespace prefix,
// which makes them the session's on every Windows.
//
// Nothing here waits on the first copy's thread: its window is restored
// with a posted request, so that a first copy that is busy or hung cannot
// hang the second one, which the user cannot even see.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "objects/checked_cast.h"
#include "objects/strings.h"
#include "sdk/ui_layouts.h"
#include "sdk/vellory.h"
#include "ui/native_window.h"

namespace {

// How long a later copy waits for a first copy that is still starting to
// record its window, and how often it looks.
constexpr DWORD kWindowWaitMs = 5000;
constexpr DWORD kPollMs = 50;

// The mutex and the mapping share the system's one namespace of object
// names, so each gets a name of its own; a backslash would name a namespace.
std::string ObjectName(std::string_view claim, const char* role) {
  std::string name(claim);
  for (char& c : name)
    if (c == '\\') c = '/';
  return name + " (" + role + ")";
}

// A view of the shared word that holds the window handle (a 32-bit value,
// 0 while no window is recorded), and the mapping behind it.
struct SharedWord {
  HANDLE mapping = nullptr;
  volatile LONG* word = nullptr;

  // Releases the view and the mapping; harmless when repeated.
  void Close() {
    if (word) UnmapViewOfFile(const_cast<LONG*>(word));
    word = nullptr;
    if (mapping) CloseHandle(mapping);
    mapping = nullptr;
  }
};

// Makes the mapping (or opens it when another process left it) and clears
// its word. A word that cannot be made leaves the claim without a window.
SharedWord CreateWord(const std::string& name) {
  SharedWord shared;
  shared.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(LONG), name.c_str());
  if (!shared.mapping) return shared;
  shared.word = static_cast<volatile LONG*>(
      MapViewOfFile(shared.mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
  if (!shared.word) {
    shared.Close();
    return shared;
  }
  InterlockedExchange(shared.word, 0);
  return shared;
}

// The window the holder of the claim recorded, or null while it has none.
HWND RecordedWindow(const std::string& name) {
  SharedWord shared;
  shared.mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  if (shared.mapping)
    shared.word = static_cast<volatile LONG*>(
        MapViewOfFile(shared.mapping, FILE_MAP_READ, 0, 0, sizeof(LONG)));
  HWND window = shared.word ? static_cast<HWND>(LongToHandle(*shared.word)) : nullptr;
  shared.Close();
  return window && IsWindow(window) ? window : nullptr;
}

// A claim this process holds: the mutex it owns and the word that names its
// window to later copies. Held until the process ends.
struct Claim {
  HANDLE mutex = nullptr;
  SharedWord window;

  // Gives the claim up; harmless when repeated.
  void Release() {
    window.Close();
    if (mutex) CloseHandle(mutex);
    mutex = nullptr;
  }
};

std::vector<Claim>& HeldClaims() {
  static std::vector<Claim> claims;
  return claims;
}

// Takes the mutex when no other process holds it, waiting up to `ms`. One
// abandoned by a process that ended is free.
bool Take(HANDLE mutex, DWORD ms) {
  DWORD result = WaitForSingleObject(mutex, ms);
  return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void BringToFront(HWND window) {
  if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
  SetForegroundWindow(window);
}

// While another process holds the claim: brings its window to the front,
// waiting for a holder that has not recorded one yet. True when the holder
// ended meanwhile and the claim has become this process's.
bool DeferToHolder(HANDLE mutex, const std::string& windowName) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = RecordedWindow(windowName)) {
      BringToFront(window);
      return false;
    }
    if (GetTickCount() - start >= kWindowWaitMs) return false;
    if (Take(mutex, kPollMs)) return true;
  }
}

}  // namespace

extern "C" {

bool RuntimeClaimInstance(StringRecord* name) {
  std::string_view claimName = StringView(name);
  if (claimName.empty()) return true;
  std::string windowName = ObjectName(claimName, "window");
  Claim claim;
  claim.mutex = CreateMutexA(nullptr, FALSE, ObjectName(claimName, "claim").c_str());
  // A mutex another user made is held; one that cannot be made for any
  // other reason must not keep the user from running the program.
  if (!claim.mutex) return GetLastError() != ERROR_ACCESS_DENIED;
  if (!Take(claim.mutex, 0) && !DeferToHolder(claim.mutex, windowName)) {
    claim.Release();
    return false;
  }
  claim.window = CreateWord(windowName);
  HeldClaims().push_back(claim);
  return true;
}

void RuntimeInstanceWindow(ObjectRecord* window) {
  WindowObject* object = As<WindowObject>(window);
  HWND handle = object ? NativeWindowHandle(object->native) : nullptr;
  for (Claim& claim : HeldClaims())
    if (claim.window.word) InterlockedExchange(claim.window.word, HandleToLong(handle));
}

}  // extern "C"
