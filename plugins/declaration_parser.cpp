// The declaration parser; see declaration_parser.h. Keywords compare without
// regard to letter case, as the rest of the language does.
#include "plugins/declaration_parser.h"

#include <cctype>

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool IsIdentifier(std::string_view s) {
  if (s.empty()) return false;
  unsigned char first = static_cast<unsigned char>(s[0]);
  if (!std::isalpha(first) && first != '_') return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

// Splits off the first whitespace-separated word of `s`.
std::string_view NextWord(std::string_view& s) {
  s = Trim(s);
  size_t end = 0;
  while (end < s.size() && !std::isspace(static_cast<unsigned char>(s[end]))) ++end;
  std::string_view word = s.substr(0, end);
  s = Trim(s.substr(end));
  return word;
}

// "As Type" and nothing after it; the type may be a class name.
std::optional<std::string> AsClause(std::string_view s) {
  std::string_view as = NextWord(s);
  if (!SameWord(as, "As")) return std::nullopt;
  std::string_view type = NextWord(s);
  if (!IsIdentifier(type) || !s.empty()) return std::nullopt;
  return std::string(type);
}

// "[ByRef|ByVal] name As Type".
std::optional<DeclaredParameter> ParseParameter(std::string_view s) {
  DeclaredParameter p;
  std::string_view word = NextWord(s);
  if (SameWord(word, "ByRef") || SameWord(word, "ByVal")) {
    p.byRef = SameWord(word, "ByRef");
    word = NextWord(s);
  }
  if (!IsIdentifier(word)) return std::nullopt;
  std::optional<std::string> type = AsClause(s);
  if (!type) return std::nullopt;
  p.name = std::string(word);
  p.type = *type;
  return p;
}

bool ParseParameters(std::string_view list, Declaration& d) {
  d.paramText = std::string(Trim(list));
  if (d.paramText.empty()) return true;
  while (true) {
    size_t comma = list.find(',');
    std::optional<DeclaredParameter> p = ParseParameter(list.substr(0, comma));
    if (!p) return false;
    d.params.push_back(*p);
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

}  // namespace

std::optional<Declaration> ParseDeclaration(std::string_view text) {
  text = Trim(text);
  size_t nameEnd = 0;
  while (nameEnd < text.size() && text[nameEnd] != '(' &&
         !std::isspace(static_cast<unsigned char>(text[nameEnd])))
    ++nameEnd;
  Declaration d;
  d.name = std::string(text.substr(0, nameEnd));
  if (!IsIdentifier(d.name)) return std::nullopt;
  std::string_view rest = Trim(text.substr(nameEnd));
  if (!rest.empty() && rest.front() == '(') {
    size_t close = rest.find(')');
    if (close == std::string_view::npos) return std::nullopt;
    if (!ParseParameters(rest.substr(1, close - 1), d)) return std::nullopt;
    rest = Trim(rest.substr(close + 1));
  }
  if (rest.empty()) return d;
  std::optional<std::string> type = AsClause(rest);
  if (!type) return std::nullopt;
  d.returnType = *type;
  return d;
}
