// Script texts carry their bytes escaped so that a script stays one readable
// line per step even for control bytes; a malformed escape is an error in
// the script, never a silent guess.
#include "tools/handheld_sim/protocol.h"

#include <charconv>
#include <sstream>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<uint32_t> Number(std::string_view text) {
  uint32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Splits off the first word of `rest` (words are separated by one or more
// spaces); `rest` keeps what follows the separating spaces.
std::string_view Word(std::string_view& rest) {
  size_t start = rest.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  size_t end = rest.find(' ');
  std::string_view word = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
  size_t next = rest.find_first_not_of(' ');
  rest = next == std::string_view::npos ? std::string_view() : rest.substr(next);
  return word;
}

std::string_view Trimmed(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  return line;
}

struct Parser {
  Script script;
  int line = 0;

  bool Fail(const std::string& what) {
    script.error = "line " + std::to_string(line) + ": " + what;
    return false;
  }

  bool Bytes(std::string_view text, std::string& into) {
    auto bytes = Unescape(text);
    if (!bytes) return Fail("bad escape in \"" + std::string(text) + "\"");
    into = *bytes;
    return true;
  }

  bool Count(std::string_view text, uint32_t& into, const char* what) {
    auto n = Number(text);
    if (!n) return Fail(std::string("expected ") + what + ", found \"" + std::string(text) + "\"");
    into = *n;
    return true;
  }

  bool Step(std::string_view command, std::string_view rest) {
    ScriptStep step{ScriptStep::kSend, {}, 0, 0, 0, line};
    if (command == "send") {
      if (!Bytes(rest, step.bytes)) return false;
    } else if (command == "send-chunked") {
      uint32_t size = 0;
      if (!Count(Word(rest), size, "a chunk size") || !Count(Word(rest), step.gapMs, "a pause"))
        return false;
      if (size == 0) return Fail("a chunk size of 0");
      step.chunk = size;
      if (!Bytes(rest, step.bytes)) return false;
    } else if (command == "raw") {
      step.kind = ScriptStep::kRaw;
      if (!Bytes(rest, step.bytes)) return false;
      if (step.bytes.empty()) return Fail("raw needs bytes");
    } else if (command == "wait") {
      step.kind = ScriptStep::kWait;
      if (!Count(rest, step.timeoutMs, "milliseconds")) return false;
    } else if (command == "expect") {
      step.kind = ScriptStep::kExpect;
      step.timeoutMs = 5000;
      std::string_view bytes = Word(rest);
      if (!Bytes(bytes, step.bytes)) return false;
      if (step.bytes.empty()) return Fail("expect needs bytes");
      if (!rest.empty() && !Count(rest, step.timeoutMs, "milliseconds")) return false;
    } else if (command == "take") {
      step.kind = ScriptStep::kTake;
      step.timeoutMs = 5000;
      uint32_t count = 0;
      if (!Count(Word(rest), count, "a byte count")) return false;
      if (count == 0) return Fail("take needs a count");
      step.chunk = count;
      if (!rest.empty() && !Count(rest, step.timeoutMs, "milliseconds")) return false;
    } else if (command == "skip-to") {
      step.kind = ScriptStep::kSkipTo;
      step.timeoutMs = 5000;
      uint32_t most = 0;
      if (!Bytes(Word(rest), step.bytes)) return false;
      if (step.bytes.empty()) return Fail("skip-to needs bytes");
      if (!Count(Word(rest), most, "a byte count")) return false;
      step.chunk = most;
      if (!rest.empty() && !Count(rest, step.timeoutMs, "milliseconds")) return false;
    } else if (command == "expect-nothing") {
      step.kind = ScriptStep::kExpectNothing;
      if (!Count(rest, step.timeoutMs, "milliseconds")) return false;
    } else {
      return Fail("unknown step \"" + std::string(command) + "\"");
    }
    script.steps.push_back(std::move(step));
    return true;
  }
};

}  // namespace

std::string Frame(std::string_view text) {
  std::string frame(1, kStx);
  frame += text;
  frame += kEtx;
  return frame;
}

std::vector<std::string> Chunks(std::string_view bytes, size_t size) {
  if (size == 0 || bytes.size() <= size) return {std::string(bytes)};
  std::vector<std::string> pieces;
  for (size_t at = 0; at < bytes.size(); at += size) pieces.emplace_back(bytes.substr(at, size));
  return pieces;
}

std::optional<std::string> Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i >= text.size()) return std::nullopt;
    switch (text[i]) {
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 's': out += ' '; break;
      case '\\': out += '\\'; break;
      case 'x': {
        int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return out;
}

std::string Visible(std::string_view bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (char c : bytes) {
    auto b = static_cast<uint8_t>(c);
    if (c == '\r') {
      out += "<CR>";
    } else if (c == '\n') {
      out += "<LF>\n";
    } else if (b >= 0x20 && b < 0x7F) {
      out += c;
    } else {
      out += '<';
      out += kHex[b >> 4];
      out += kHex[b & 15];
      out += '>';
    }
  }
  return out;
}

Script ParseScript(std::string_view text) {
  Parser p;
  std::istringstream in{std::string(text)};
  std::string raw;
  while (std::getline(in, raw)) {
    ++p.line;
    std::string_view line = Trimmed(raw);
    if (line.empty() || line[0] == '#') continue;
    std::string_view rest = line;
    std::string_view command = Word(rest);
    if (!p.Step(command, rest)) break;
  }
  if (!p.script.error.empty()) p.script.steps.clear();
  return p.script;
}
