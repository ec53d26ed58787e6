// Case-insensitive search and everything built on it: InStr, Replace,
// ReplaceAll and the field functions. Single-byte text is compared through
// the per-byte upper-case table; double-byte text is upper-cased whole once
// and matched exactly, with candidates stepping from character to character
// so that a match never starts on a trail byte.
#include <string>

#include "objects/dbcs.h"
#include "objects/strings.h"

namespace {

constexpr size_t kNoMatch = std::string_view::npos;

class Matcher {
 public:
  Matcher(std::string_view text, std::string_view find) : text_(text), find_(find) {
    if (!DbcsMode()) return;
    upperText_.assign(text);
    upperFind_.assign(find);
    UpperCaseInPlace(upperText_.data(), upperText_.size());
    UpperCaseInPlace(upperFind_.data(), upperFind_.size());
    dbcs_ = true;
  }

  // 0-based index of the first match starting at or after byte `from`.
  size_t Find(size_t from) const {
    if (find_.empty() || from > text_.size() || find_.size() > text_.size() - from)
      return kNoMatch;
    return dbcs_ ? FindDoubleByte(from) : FindSingleByte(from);
  }

  size_t FindLength() const { return find_.size(); }

 private:
  size_t FindSingleByte(size_t from) const {
    for (size_t pos = from; pos + find_.size() <= text_.size(); ++pos)
      if (MatchesSingleByte(pos)) return pos;
    return kNoMatch;
  }

  bool MatchesSingleByte(size_t pos) const {
    for (size_t i = 0; i < find_.size(); ++i)
      if (UpperByte(static_cast<uint8_t>(text_[pos + i])) !=
          UpperByte(static_cast<uint8_t>(find_[i])))
        return false;
    return true;
  }

  size_t FindDoubleByte(size_t from) const {
    std::string_view text(upperText_), find(upperFind_);
    for (size_t pos = from; pos + find.size() <= text.size(); pos += CharacterBytes(text_, pos))
      if (text.compare(pos, find.size(), find) == 0) return pos;
    return kNoMatch;
  }

  std::string_view text_, find_;
  std::string upperText_, upperFind_;
  bool dbcs_ = false;
};

StringRecord* Shared(StringRecord* s) {
  RuntimeLockString(s);
  return s;
}

int32_t EmptyFindResult(int32_t start) {
  return static_cast<int32_t>(static_cast<uint32_t>(start) - 1u);  // wraps, never overflows
}

}  // namespace

extern "C" {

int32_t StringInStr(int32_t start, StringRecord* s, StringRecord* find) {
  if (!s) return 0;
  if (!find) return EmptyFindResult(start);
  int64_t pos = static_cast<int64_t>(start) - 1;
  if (pos < 0) pos = 0;
  if (pos >= s->length) return 0;
  size_t at = Matcher(StringView(s), StringView(find)).Find(static_cast<size_t>(pos));
  return at == kNoMatch ? 0 : static_cast<int32_t>(at + 1);
}

int32_t StringDBCSInStr(int32_t start, StringRecord* s, StringRecord* find) {
  if (!DbcsMode()) return StringInStr(start, s, find);
  if (!s) return 0;
  if (!find) return EmptyFindResult(start);
  std::string_view text = StringView(s);
  int32_t at = StringInStr(FirstByteOfCharacter(text, start), s, find);
  if (at == 0) return 0;
  return CharacterPositionOfByte(text, static_cast<size_t>(at - 1));
}

StringRecord* StringReplace(StringRecord* s, StringRecord* find, StringRecord* repl) {
  std::string_view text = StringView(s), found = StringView(find);
  size_t at = Matcher(text, found).Find(0);
  if (at == kNoMatch) return Shared(s);
  std::string result(text.substr(0, at));
  result.append(StringView(repl));
  result.append(text.substr(at + found.size()));
  return NewString(result);
}

// Searching resumes in the original text just after each match, which is
// where the search in the rebuilt string would resume after the inserted
// replacement: replacement text is never searched again.
StringRecord* StringReplaceAll(StringRecord* s, StringRecord* find, StringRecord* repl) {
  std::string_view text = StringView(s), found = StringView(find), with = StringView(repl);
  Matcher matcher(text, found);
  size_t at = matcher.Find(0);
  if (at == kNoMatch) return Shared(s);
  std::string result;
  size_t copied = 0;
  for (; at != kNoMatch; at = matcher.Find(copied)) {
    result.append(text.substr(copied, at - copied));
    result.append(with);
    copied = at + found.size();
  }
  result.append(text.substr(copied));
  return NewString(result);
}

int32_t StringCountFields(StringRecord* s, StringRecord* delim) {
  if (!s) return 0;
  if (!delim) return 1;
  Matcher matcher(StringView(s), StringView(delim));
  int32_t count = 1;
  for (size_t at = matcher.Find(0); at != kNoMatch; at = matcher.Find(at + delim->length))
    ++count;
  return count;
}

StringRecord* StringNthField(StringRecord* s, StringRecord* delim, int32_t n) {
  if (!s || !delim || n < 1) return nullptr;
  Matcher matcher(StringView(s), StringView(delim));
  size_t begin = 0;
  for (int32_t field = 1; field < n; ++field) {
    size_t at = matcher.Find(begin);
    if (at == kNoMatch) return nullptr;
    begin = at + delim->length;
  }
  size_t end = matcher.Find(begin);
  if (end == kNoMatch) end = s->length;
  // Mid3 hands back s itself when the field is the whole string.
  return StringMid3(s, static_cast<int32_t>(begin + 1), static_cast<int32_t>(end - begin));
}

}  // extern "C"
