// handheld-sim: plays the handheld at the far end of the cable. Interactive
// mode is for people: each line typed is sent as one frame, and what the
// desktop sends back is shown with its line ends made visible. Script mode is
// for tests: frames, raw chunks, pauses and expectations, with an exit status
// that says whether every expectation held.
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "tools/handheld_sim/line.h"
#include "tools/handheld_sim/protocol.h"
#include "tools/time_scale.h"

namespace {

const char kUsage[] =
    "usage: handheld-sim (--device PATH | --pty LINK) [--chunk N] [--gap MS] [--script FILE]\n"
    "                    [--tally FILE]\n"
    "  --device PATH  use an existing serial device or cable end\n"
    "  --pty LINK     make a pseudo-terminal and link LINK to its other side\n"
    "  --chunk N      interactive: send each frame in pieces of N bytes\n"
    "  --gap MS       interactive: pause between pieces (default 50)\n"
    "  --script FILE  run a test script instead of reading the keyboard\n"
    "  --tally FILE   keep the number of bytes received so far in FILE\n";

struct Options {
  std::string device, pty, script, tally;
  size_t chunk = 0;
  int gapMs = 50;
};

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    std::string number;
    if (a == "--device") {
      if (!value(o.device)) return false;
    } else if (a == "--pty") {
      if (!value(o.pty)) return false;
    } else if (a == "--script") {
      if (!value(o.script)) return false;
    } else if (a == "--tally") {
      if (!value(o.tally)) return false;
    } else if (a == "--chunk") {
      if (!value(number)) return false;
      o.chunk = std::stoul(number);
    } else if (a == "--gap") {
      if (!value(number)) return false;
      o.gapMs = std::stoi(number);
    } else {
      return false;
    }
  }
  return o.device.empty() != o.pty.empty();
}

void Pause(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void SendPieces(Line& line, const std::string& bytes, size_t chunk, uint32_t gapMs) {
  std::vector<std::string> pieces = Chunks(bytes, chunk);
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i) Pause(gapMs);
    line.Write(pieces[i]);
  }
}

// --- script mode --------------------------------------------------------------

// Reads until `pending` holds `count` bytes or `ms` have passed.
void ReadUpTo(Line& line, size_t count, uint32_t ms, std::string& pending) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (pending.size() < count) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pending += line.Read(count - pending.size(), static_cast<int>(left.count()));
  }
}

bool Expect(Line& line, const ScriptStep& step, std::string& pending) {
  ReadUpTo(line, step.bytes.size(), step.timeoutMs, pending);
  if (pending.compare(0, step.bytes.size(), step.bytes) == 0 && pending.size() >= step.bytes.size()) {
    pending.erase(0, step.bytes.size());
    return true;
  }
  std::cerr << "line " << step.line << ": expected \"" << Visible(step.bytes) << "\", got \""
            << Visible(pending) << "\"\n";
  return false;
}

// Reads `step.chunk` bytes, whatever they are (what came before counts).
bool Take(Line& line, const ScriptStep& step, std::string& pending) {
  ReadUpTo(line, step.chunk, step.timeoutMs, pending);
  if (pending.size() >= step.chunk) {
    pending.erase(0, step.chunk);
    return true;
  }
  std::cerr << "line " << step.line << ": expected " << step.chunk << " bytes, got " << pending.size()
            << "\n";
  return false;
}

// Reads until `step.bytes` come, after at most `step.chunk` others (what a
// cable itself holds of an earlier send, say); never reads past the point
// where that is decided, so what follows stays for the next step.
bool SkipTo(Line& line, const ScriptStep& step, std::string& pending) {
  size_t most = step.chunk + step.bytes.size();
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(step.timeoutMs);
  for (;;) {
    size_t at = pending.find(step.bytes);
    if (at != std::string::npos && at <= step.chunk) {
      pending.erase(0, at + step.bytes.size());
      return true;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (at != std::string::npos || pending.size() >= most || left.count() <= 0) break;
    pending += line.Read(most - pending.size(), static_cast<int>(left.count()));
  }
  std::cerr << "line " << step.line << ": expected \"" << Visible(step.bytes) << "\" after at most " << step.chunk
            << " other bytes, got " << pending.size() << " without it\n";
  return false;
}

bool ExpectNothing(Line& line, const ScriptStep& step, std::string& pending) {
  pending += line.Read(4096, static_cast<int>(step.timeoutMs));
  if (pending.empty()) return true;
  std::cerr << "line " << step.line << ": expected nothing, got \"" << Visible(pending) << "\"\n";
  return false;
}

// On a slow (emulated) machine the desktop takes VELLORY_TIME_SCALE times as
// long for everything, so how long an "expect" or "take" waits for it
// stretches with it. Waits and quiet spells keep their length: they pace the
// conversation against the desktop's own timers.
void StretchTimes(Script& script) {
  uint32_t scale = TimeScale();
  for (ScriptStep& step : script.steps)
    if (step.kind == ScriptStep::kExpect || step.kind == ScriptStep::kTake || step.kind == ScriptStep::kSkipTo)
      step.timeoutMs *= scale;
}

int RunScript(Line& line, const std::string& path) {
  std::ifstream in(path);
  if (!in) {
    std::cerr << path << ": cannot be read\n";
    return 2;
  }
  std::stringstream text;
  text << in.rdbuf();
  Script script = ParseScript(text.str());
  if (!script.error.empty()) {
    std::cerr << path << ": " << script.error << "\n";
    return 2;
  }
  StretchTimes(script);
  std::string pending;  // received and not yet matched
  for (const ScriptStep& step : script.steps) {
    bool ok = true;
    switch (step.kind) {
      case ScriptStep::kSend: SendPieces(line, Frame(step.bytes), step.chunk, step.gapMs); break;
      case ScriptStep::kRaw: line.Write(step.bytes); break;
      case ScriptStep::kWait: Pause(step.timeoutMs); break;
      case ScriptStep::kExpect: ok = Expect(line, step, pending); break;
      case ScriptStep::kExpectNothing: ok = ExpectNothing(line, step, pending); break;
      case ScriptStep::kTake: ok = Take(line, step, pending); break;
      case ScriptStep::kSkipTo: ok = SkipTo(line, step, pending); break;
    }
    if (!ok) return 1;
  }
  return 0;
}

// --- interactive mode -------------------------------------------------------------

// The keyboard without line editing by the terminal, so that Backspace on an
// empty line can be a key of its own; restored on every way out.
class RawKeyboard {
 public:
  RawKeyboard() {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios t = saved_;
    t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    active_ = tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0;
  }
  ~RawKeyboard() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  bool Active() const { return active_; }

 private:
  termios saved_{};
  bool active_ = false;
};

struct Typing {
  std::string line;
  bool quit = false;
};

// One key: Enter sends the line as a frame; Backspace edits, or on an empty
// line sends a backspace frame; Ctrl-D on an empty line ends the session.
void Key(char key, Typing& t, Line& cable, const Options& o) {
  if (key == '\r' || key == '\n') {
    std::cout << "\n";
    SendPieces(cable, Frame(t.line), o.chunk, static_cast<uint32_t>(o.gapMs));
    std::cout << "  sent: " << Visible(Frame(t.line)) << "\n";
    t.line.clear();
  } else if (key == 0x7F || key == kBackspace) {
    if (t.line.empty()) {
      cable.Write(Frame(std::string(1, kBackspace)));
      std::cout << "  sent: " << Visible(Frame(std::string(1, kBackspace))) << "\n";
    } else {
      t.line.pop_back();
      std::cout << "\b \b";
    }
  } else if (key == 0x04) {
    t.quit = t.line.empty();
  } else {
    t.line += key;
    std::cout << key;
  }
  std::cout.flush();
}

int RunInteractive(Line& cable, const Options& o) {
  RawKeyboard keyboard;
  std::cout << "Type a line and press Enter to send it as one frame. Backspace on an empty\n"
               "line sends a backspace frame. Ctrl-D on an empty line quits.\n";
  if (!keyboard.Active()) std::cout << "(the keyboard is not a terminal: lines are read as they come)\n";
  std::cout.flush();
  Typing typing;
  while (!typing.quit) {
    pollfd p[2] = {{STDIN_FILENO, POLLIN, 0}, {cable.Descriptor(), POLLIN, 0}};
    if (poll(p, 2, 500) < 0) continue;
    if (p[1].revents & POLLIN) {
      std::string back = cable.Read(4096, 0);
      if (!back.empty()) std::cout << "\n  from the desktop: " << Visible(back) << "\n" << typing.line << std::flush;
    }
    if (p[1].revents & POLLHUP) Pause(100);
    if (!(p[0].revents & (POLLIN | POLLHUP))) continue;
    char key;
    if (read(STDIN_FILENO, &key, 1) != 1) break;
    Key(key, typing, cable, o);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  try {
    if (!ParseOptions(argc, argv, o)) {
      std::cerr << kUsage;
      return 2;
    }
  } catch (const std::exception&) {
    std::cerr << kUsage;
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  Line cable;
  std::string error;
  bool open = o.pty.empty() ? cable.OpenDevice(o.device, error) : cable.OpenPseudoTerminal(o.pty, error);
  if (!open) {
    std::cerr << "handheld-sim: " << error << "\n";
    return 2;
  }
  if (!o.tally.empty()) cable.TallyInto(o.tally);
  if (!o.pty.empty()) std::cout << "handheld-sim: the desktop's end of the cable is " << o.pty << "\n";
  return o.script.empty() ? RunInteractive(cable, o) : RunScript(cable, o.script);
}
