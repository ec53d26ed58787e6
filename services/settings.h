// The application settings carried by the image's settings item: the option
// flag, the language code (which picks the Windows character set), the
// application's file types, the runtime's message strings, the
// multiple-document flag and the application title.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct FileType {
  std::string name;        // "text/plain"
  std::string creator;     // "????"
  std::string type;        // "TEXT"
  std::string extensions;  // ".ascii;.text;.txt"
};

struct AppSettings {
  uint8_t optionFlag = 0;
  uint32_t reserved = 0;
  uint32_t languageCode = 0;
  std::vector<FileType> fileTypes;
  std::vector<std::string> messages;
  bool multipleDocuments = false;
  std::string title;
};

// Reads the settings bytes in their stored order. False when the bytes end
// before the last field; what was read up to there is kept.
bool ParseSettings(const uint8_t* bytes, uint32_t length, AppSettings& settings);

// The Windows character set for a language code (1 for any code not listed).
int32_t CharsetForLanguage(uint32_t languageCode);

// The settings the runtime runs with (empty until the image's are applied).
AppSettings& CurrentSettings();
