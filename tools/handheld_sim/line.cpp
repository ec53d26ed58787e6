// Raw mode matters: a terminal line in its default mode would echo the
// desktop's bytes back to it and turn CR into LF, which would be a
// different handheld from the one the program expects.
#include "tools/handheld_sim/line.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool MakeRaw(int fd) {
  termios t;
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  cfsetispeed(&t, B38400);
  cfsetospeed(&t, B38400);
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

Line::~Line() { Close(); }

void Line::Close() {
  if (fd_ >= 0) close(fd_);
  if (otherSide_ >= 0) close(otherSide_);
  fd_ = otherSide_ = -1;
  if (!link_.empty()) unlink(link_.c_str());
  link_.clear();
}

bool Line::OpenDevice(const std::string& path, std::string& error) {
  Close();
  fd_ = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (fd_ < 0) {
    error = path + ": " + strerror(errno);
    return false;
  }
  MakeRaw(fd_);  // a plain file or pipe is no terminal: that is fine
  return true;
}

bool Line::OpenPseudoTerminal(const std::string& link, std::string& error) {
  Close();
  fd_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (fd_ < 0 || grantpt(fd_) != 0 || unlockpt(fd_) != 0) {
    error = std::string("no pseudo-terminal: ") + strerror(errno);
    Close();
    return false;
  }
  const char* other = ptsname(fd_);
  // Raw on the desktop's side too, until the program there sets its own
  // line settings.
  otherSide_ = open(other, O_RDWR | O_NOCTTY);
  if (otherSide_ >= 0) MakeRaw(otherSide_);
  unlink(link.c_str());
  if (symlink(other, link.c_str()) != 0) {
    error = link + ": " + strerror(errno);
    Close();
    return false;
  }
  link_ = link;
  return true;
}

bool Line::Write(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string Line::Read(size_t most, int timeoutMs) {
  std::string got;
  pollfd p = {fd_, POLLIN, 0};
  while (got.size() < most) {
    int ready = poll(&p, 1, got.empty() ? timeoutMs : 20);
    if (ready <= 0 || !(p.revents & POLLIN)) break;
    char buffer[512];
    ssize_t n = read(fd_, buffer, std::min(sizeof buffer, most - got.size()));
    if (n <= 0) break;
    got.append(buffer, static_cast<size_t>(n));
  }
  received_ += got.size();
  if (!got.empty()) WriteTally();
  return got;
}

// Written beside and renamed over, so that a reader never sees half a number.
void Line::WriteTally() {
  if (tally_.empty()) return;
  std::string scratch = tally_ + ".new";
  FILE* f = std::fopen(scratch.c_str(), "w");
  if (!f) return;
  std::fprintf(f, "%llu\n", received_);
  if (std::fclose(f) == 0) std::rename(scratch.c_str(), tally_.c_str());
}
