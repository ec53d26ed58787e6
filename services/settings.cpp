// Reading the settings item; see settings.h. Counts are stored as packed
// integers and may be damaged, so every loop also stops once the bytes run
// out rather than trusting the count.
#include "services/settings.h"

#include "objects/description_stream.h"

namespace {

std::string Text(DescriptionStream& s) { return std::string(s.PackedString()); }

}  // namespace

bool ParseSettings(const uint8_t* bytes, uint32_t length, AppSettings& settings) {
  DescriptionStream s(bytes, length);
  settings.optionFlag = s.Byte();
  settings.reserved = s.WordBigEndian();
  settings.languageCode = s.WordBigEndian();
  int32_t types = s.PackedInt();
  for (int32_t i = 0; i < types && !s.Overrun(); ++i) {
    FileType t;
    t.name = Text(s);
    t.creator = Text(s);
    t.type = Text(s);
    t.extensions = Text(s);
    if (!s.Overrun()) settings.fileTypes.push_back(std::move(t));
  }
  int32_t messages = s.PackedInt();
  for (int32_t i = 0; i < messages && !s.Overrun(); ++i) {
    std::string m = Text(s);
    if (!s.Overrun()) settings.messages.push_back(std::move(m));
  }
  settings.multipleDocuments = s.Byte() != 0;
  settings.title = Text(s);
  return !s.Overrun();
}

int32_t CharsetForLanguage(uint32_t languageCode) {
  switch (languageCode) {
    case 13: return 128;  // Shift-JIS
    case 21: return 136;  // Chinese Big5
    case 12: return 177;  // Hebrew
    case 14: return 178;  // Arabic
    case 16: return 161;  // Greek
    case 19: return 162;  // Turkish
    case 24: return 222;  // Thai
    case 34: return 204;  // Russian
    default: return 1;    // the system default
  }
}

AppSettings& CurrentSettings() {
  static AppSettings settings;
  return settings;
}
