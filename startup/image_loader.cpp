// LoadApplicationImage; see image_loader.h. The locator decides between the
// appended form and the .dat files; the rest of the sequence is the same for
// both, and any failure is shown once and ends the load.
#include "startup/image_loader.h"

#include <windows.h>

#include "objects/process_globals.h"
#include "objects/startup_trace.h"
#include "startup/code_linker.h"
#include "startup/image_reader.h"
#include "startup/import_resolver.h"
#include "startup/load_messages.h"
#include "ui/message_box.h"

namespace {

// The image offset from the PICKLE resource, 0 when the .dat files are used.
// Stores the archive offset as the locator gives it.
uint32_t LocateImage() {
  HRSRC found = FindResourceA(gModuleHandle, MAKEINTRESOURCEA(image::kLocatorId),
                              image::kLocatorType);
  HGLOBAL loaded = found ? LoadResource(gModuleHandle, found) : nullptr;
  if (!loaded) return 0;
  image::Locator locator;
  if (!DecodeLocator(LockResource(loaded), SizeofResource(gModuleHandle, found), locator))
    return 0;
  gArchiveOffset = locator.archiveOffset;
  return locator.imageOffset;
}

bool ReadImage(uint32_t imageOffset, ImageBlocks& blocks, std::string& message) {
  if (imageOffset == 0) return ReadSeparateImage("", blocks, message);
  char path[512];
  DWORD n = GetModuleFileNameA(gModuleHandle, path, sizeof path);
  if (n == 0 || n >= sizeof path) {
    message = std::string(kImageUnreadable) + "the program file could not be opened.";
    return false;
  }
  return ReadAppendedImage(path, imageOffset, blocks, message);
}

// Links and relocates the blocks in place, then checks that the entry
// function's address lies inside the code block.
bool Prepare(ImageBlocks& blocks, uint32_t& entry, std::string& message) {
  LoadedBlocks b{blocks.Bytes(image::kCode),
                 blocks.Length(image::kCode),
                 reinterpret_cast<uint32_t>(blocks.Bytes(image::kCode)),
                 blocks.Bytes(image::kData),
                 blocks.Length(image::kData),
                 reinterpret_cast<uint32_t>(blocks.Bytes(image::kData))};
  Win32ImportResolver resolver;
  if (!LinkCode(b, blocks.Bytes(image::kCodeFixups), blocks.Length(image::kCodeFixups),
                resolver, message))
    return false;
  StartupMark("LinkCode");
  if (!RelocateData(b, blocks.Bytes(image::kDataFixups), blocks.Length(image::kDataFixups),
                    message))
    return false;
  StartupMark("RelocateData");
  blocks.ReleaseFixups();
  return EntryAddress(b, entry, message);
}

bool Refuse(const std::string& message) {
  ShowRuntimeMessage(message.c_str());
  return false;
}

}  // namespace

bool LoadApplicationImage() {
  ImageBlocks blocks;
  std::string message;
  StartupMark("process entry");
  if (!ReadImage(LocateImage(), blocks, message)) return Refuse(message);
  StartupMark("image located and read");
  gCodeBase = blocks.Bytes(image::kCode);
  gCodeLength = blocks.Length(image::kCode);
  gDataBase = blocks.Bytes(image::kData);
  gDataLength = blocks.Length(image::kData);
  uint32_t entry = 0;
  if (!Prepare(blocks, entry, message)) return Refuse(message);
  blocks.Keep();
  FlushInstructionCache(GetCurrentProcess(), gCodeBase, blocks.Length(image::kCode));
  reinterpret_cast<void(__cdecl*)()>(entry)();
  return true;
}
