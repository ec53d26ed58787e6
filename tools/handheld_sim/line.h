// The simulator's end of the cable: a serial device or terminal opened raw,
// or a fresh pseudo-terminal whose other side the desktop program opens.
#pragma once
#include <string>

class Line {
 public:
  Line() = default;
  ~Line();
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  // Opens an existing device (a serial adapter, or one end of a cable made
  // by socat). False with `error` set when it cannot.
  bool OpenDevice(const std::string& path, std::string& error);
  // Makes a pseudo-terminal and links `link` to its other side.
  bool OpenPseudoTerminal(const std::string& link, std::string& error);

  int Descriptor() const { return fd_; }
  bool Write(const std::string& bytes);
  // Bytes that arrive within `timeoutMs` (fewer than asked when the time
  // runs out; empty when nothing came).
  std::string Read(size_t most, int timeoutMs);
  // From now on, `path` holds the number of bytes read so far, rewritten
  // whole after every read: what a test compares with the count of bytes
  // the desktop says it sent.
  void TallyInto(const std::string& path) { tally_ = path; }

 private:
  void Close();
  int fd_ = -1;
  int otherSide_ = -1;  // kept open so the line stays up between the desktop's opens
  std::string link_;  // removed again when the line closes
  std::string tally_;
  unsigned long long received_ = 0;
  void WriteTally();
};
