// Replacing a file in one step, with every write, the flush, the close and
// the move checked. The new file gets a unique name from the system in the
// target's own folder, so that the final move is a rename on one volume and
// two programs saving the same file never write into one new file.
#include "services/file_replace.h"

#include <string_view>

#include "objects/strings.h"
#include "sdk/vellory.h"
#include "services/folder_items.h"

namespace {

FileFaultHook gFault = nullptr;
DWORD gLastError = 0;

// The injected failure of a step, if a test asked for one.
DWORD Injected(FileStep step) { return gFault ? gFault(step) : 0; }

// Records a failed step: the injected code, else the system's (a step that
// failed without saying why counts as a general failure).
bool Failed(ReplacingFile& r, DWORD code) {
  if (!code) code = ERROR_GEN_FAILURE;
  if (!r.error) r.error = code;
  NoteFileError(code);
  return false;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// A target the new file could never replace is refused before any work.
DWORD RefusalOf(const std::string& target) {
  DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
  return 0;
}

HANDLE HandleOf(HFILE file) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(file)); }

void CloseQuietly(ReplacingFile& r) {
  if (r.file) _lclose(r.file);
  r.file = 0;
}

void RemoveTemp(ReplacingFile& r) {
  if (!r.temp.empty()) DeleteFileA(r.temp.c_str());
  r.temp.clear();
}

}  // namespace

void SetFileFaultHook(FileFaultHook hook) { gFault = hook; }

void NoteFileError(DWORD code) { gLastError = code; }
DWORD LastFileError() { return gLastError; }

bool BeginReplacing(const std::string& target, ReplacingFile& r) {
  r = ReplacingFile{};
  r.target = target;
  if (DWORD refusal = RefusalOf(target)) return Failed(r, refusal);
  char temp[MAX_PATH + 16];
  if (DWORD injected = Injected(FileStep::kCreate)) return Failed(r, injected);
  if (!GetTempFileNameA(FolderOf(target).c_str(), "vsn", 0, temp)) return Failed(r, GetLastError());
  r.temp = temp;
  HFILE file = _lcreat(temp, 0);
  if (file == HFILE_ERROR) {
    DWORD code = GetLastError();
    RemoveTemp(r);
    return Failed(r, code);
  }
  r.file = file;
  return true;
}

bool WriteReplacing(ReplacingFile& r, const void* bytes, size_t size) {
  if (!r.file || r.error) return false;
  if (!size) return true;
  if (DWORD injected = Injected(FileStep::kWrite)) return Failed(r, injected);
  UINT wrote = _lwrite(r.file, static_cast<const char*>(bytes), static_cast<UINT>(size));
  if (wrote == static_cast<UINT>(HFILE_ERROR)) return Failed(r, GetLastError());
  // A short write without an error is a full disk.
  if (wrote != size) return Failed(r, ERROR_DISK_FULL);
  return true;
}

bool FinishReplacing(ReplacingFile& r) {
  if (!r.file) return false;
  if (r.error) {
    AbandonReplacing(r);
    return false;
  }
  DWORD injected = Injected(FileStep::kFlush);
  if (injected || !FlushFileBuffers(HandleOf(r.file))) {
    Failed(r, injected ? injected : GetLastError());
    AbandonReplacing(r);
    return false;
  }
  injected = Injected(FileStep::kClose);
  HFILE file = r.file;
  r.file = 0;
  if (injected || _lclose(file) == HFILE_ERROR) {
    if (injected) _lclose(file);
    Failed(r, injected ? injected : GetLastError());
    RemoveTemp(r);
    return false;
  }
  injected = Injected(FileStep::kReplace);
  if (injected) {
    Failed(r, injected);
    RemoveTemp(r);
    return false;
  }
  if (!MoveReplacing(r.temp, r.target)) {
    r.error = LastFileError();
    RemoveTemp(r);
    return false;
  }
  r.temp.clear();
  return true;
}

void AbandonReplacing(ReplacingFile& r) {
  CloseQuietly(r);
  RemoveTemp(r);
}

bool MoveReplacing(const std::string& from, const std::string& to) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DWORD code = GetLastError();
  // Systems without MoveFileEx can only remove the old file first.
  if (code == ERROR_CALL_NOT_IMPLEMENTED) {
    DeleteFileA(to.c_str());
    if (MoveFileA(from.c_str(), to.c_str())) return true;
    code = GetLastError();
  }
  NoteFileError(code ? code : ERROR_GEN_FAILURE);
  return false;
}

extern "C" {

bool RuntimeFileBusy() {
  DWORD code = LastFileError();
  return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

// The system's words for the last failure, without the line end and the
// final full stop the system adds, so that a caller can put them into a
// sentence of its own. "" when no file operation has failed.
StringRecord* RuntimeFileErrorText() {
  DWORD code = LastFileError();
  if (!code) return nullptr;
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, text, sizeof text, nullptr);
  std::string_view words(text, length);
  while (!words.empty() && (words.back() == '\r' || words.back() == '\n' || words.back() == ' ' ||
                            words.back() == '.'))
    words.remove_suffix(1);
  if (words.empty()) return NewString("error " + std::to_string(code));
  return NewString(words);
}

// Moves the item's file (or folder) to the destination's path in one step,
// replacing a file there; true when it moved. The item keeps its path.
bool FolderItemMoveFileTo(ObjectRecord* item, ObjectRecord* destination) {
  if (!item || !destination) return false;
  return MoveReplacing(PathOf(item), PathOf(destination));
}

}  // extern "C"
