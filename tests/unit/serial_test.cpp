// Serial lines: the settings on any host; under Wine the Serial object, over
// a pseudo-terminal cable when run_serial_test.sh sets VELLORY_SERIAL_PAIR.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/serial_settings.h"

#ifdef _WIN32
#include <windows.h>

#include <fstream>
#include <iterator>

#include "objects/builtin_classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/serial_port.h"
#endif

namespace {

TEST(SerialSettings, IndicesOutsideTheTablesFallBackToTheCommonCaseAndAWriteMayTakeItsLineTimePlusTwoSeconds) {
  const std::pair<int16_t, uint32_t> bauds[] = {{0, 300}, {8, 9600}, {12, 38400}, {13, 57600}, {14, 57600}, {-1, 57600}};
  for (auto [index, rate] : bauds) EXPECT_EQ(BaudRateForIndex(index), rate) << index;
  // Bits, parity and stop bits as stored, and as the system numbers them
  // (parity 2 is even, stop bits 1 one and a half).
  const int16_t rows[][6] = {{3, 0, 0, 8, 0, 0}, {2, 2, 1, 7, 2, 1}, {0, 7, 9, 5, 0, 0}, {1, 1, 2, 6, 1, 2}};
  for (const auto& r : rows) {
    LineSettings line = LineSettingsFor(5, r[0], r[1], r[2]);
    EXPECT_EQ(std::vector<int>({line.byteSize, line.parity, line.stopBits}), std::vector<int>({r[3], r[4], r[5]}))
        << r[0] << " " << r[1] << " " << r[2];
  }
  const struct { LineSettings line; uint32_t bytes, limitMs;
  } writes[] = {
      {LineSettingsFor(13, 3, 0, 0), 0, 2000},                  // nothing to send
      {LineSettingsFor(8, 3, 2, 2), 96, 2120},                  // 12 bits a byte at 9600
      {LineSettingsFor(0, 3, 0, 0), 1, 2034},                   // 10 bits at 300, rounded up
      {LineSettingsFor(13, 3, 0, 0), 0xFFFFFFFFu, 745656045},   // 4 GiB at 57600
      {LineSettingsFor(0, 3, 0, 0), 0xFFFFFFFFu, 0xFFFFFFFEu},  // capped below "forever"
  };
  for (const auto& r : writes)
    EXPECT_EQ(WriteTimeLimitMs(r.line, r.bytes), r.limitMs) << r.line.baudRate << " " << r.bytes;
}

// XON/XOFF both ways, CTS with RTS handshaking (else RTS held on), DTR held
// on or off: the system's RTS_CONTROL_* and DTR_CONTROL_* values.
TEST(SerialSettings, FlowControlFollowsTheThreeFlags) {
  for (int flags = 0; flags < 8; ++flags) {
    bool xon = flags & 1, cts = flags & 2, dtr = flags & 4;
    SCOPED_TRACE(testing::Message() << "XON " << xon << " CTS " << cts << " DTR " << dtr);
    FlowSettings f = FlowSettingsFor(xon, cts, dtr);
    EXPECT_EQ(std::vector<int>({f.outX, f.inX, f.outxCtsFlow, f.rtsControl, f.dtrControl, f.xonChar, f.xoffChar}),
              std::vector<int>({xon, xon, cts, cts ? 2 : 1, dtr ? 1 : 0, 0x11, 0x13}));
    EXPECT_GT(f.xonLim, 0);
    EXPECT_GT(f.xoffLim, 0);
  }
}

TEST(SerialSettings, PortNamesAreComAndANumberUpTo256AndTheListHasTheFirstFour) {
  const std::pair<const char*, int> names[] = {
      {"COM1", 1},  {"com12", 12}, {"COM256", 256}, {"COM257", 0}, {"COM0", 0}, {"COM012", 0},
      {"COM", 0},   {"COM3x", 0},  {"LPT1", 0},     {"COM-1", 0},  {"", 0},     {"COM1000000", 0},
  };
  for (auto [name, number] : names) EXPECT_EQ(PortNumberOfName(name), number) << name;
  // The first four and every listed port, in number order, each once.
  EXPECT_EQ(PortList({"COM256", "COM257", "LPT1", "COM12", "com12", "", "COM3"}),
            (std::vector<int>{1, 2, 3, 4, 12, 256}));
}

#ifdef _WIN32

class SerialLine : public testing::Test {
 protected:
  void SetUp() override {
    RegisterBuiltInClasses();
    serial_ = NewObjectOfClass(FindBuiltInClass("Serial"));
  }
  void TearDown() override {
    RuntimeUnlockObject(serial_);
    if (far_ != INVALID_HANDLE_VALUE) CloseHandle(far_);
  }
  SerialObject* Fields() { return reinterpret_cast<SerialObject*>(serial_); }
  HANDLE Device() { return reinterpret_cast<HANDLE>(Fields()->driverHandle); }
  static std::string Take(StringRecord* s) { return std::string(StringRef::Adopt(s).View()); }
  std::string Lookahead() { return std::string(StringView(Fields()->receiveBuffer)); }
  // Waits (up to 10 s, the system's own time) until the driver holds
  // `count` bytes that the line has not read yet.
  bool DriverHolds(size_t count) {
    for (int i = 0; i < 1000; ++i, Sleep(10)) {
      DWORD errors = 0;
      COMSTAT stat = {};
      if (ClearCommError(Device(), &errors, &stat) && stat.cbInQue >= count) return true;
    }
    return false;
  }
  // Bytes as if they had arrived from the line.
  void Arrive(std::string_view bytes) {
    StringRecord* joined = RuntimeAddString(Fields()->receiveBuffer, StringRef::Adopt(NewString(bytes)).get());
    RuntimeUnlockString(Fields()->receiveBuffer);
    Fields()->receiveBuffer = joined;
  }
  bool Write(std::string_view bytes) { return serialWrite(serial_, StringRef::Adopt(NewString(bytes)).get()); }

  ObjectRecord* serial_ = nullptr;
  HANDLE far_ = INVALID_HANDLE_VALUE;
};

TEST_F(SerialLine, ANewLineIsClosedAndReadsTakeFromTheBuffer) {
  EXPECT_EQ(Fields()->driverHandle, 0xFFFFFFFFu);
  EXPECT_FALSE(Fields()->isOpen);
  Arrive("abcdef");
  EXPECT_EQ(Take(serialRead(serial_, 0)), "");
  EXPECT_EQ(Take(serialRead(serial_, 2)), "ab");
  EXPECT_EQ(Take(serialRead(serial_, 99)), "cdef");
  Arrive("xyz");
  Fields()->dataArrived = 1;
  EXPECT_EQ(Take(serialReadAll(serial_)), "xyz");
  EXPECT_FALSE(Fields()->dataArrived);
  Arrive("released");
  serialClose(serial_);
  serialClose(serial_);
  EXPECT_EQ(Lookahead(), "");
  PollSerialLines();  // a closed line costs nothing and changes nothing
  EXPECT_FALSE(Fields()->isOpen);
  EXPECT_EQ(Lookahead(), "");
  EXPECT_FALSE(Fields()->dataArrived);
}

TEST_F(SerialLine, WritingToALineThatCannotOpenWritesNothingAndStaysClosed) {
  EXPECT_EQ(getSerialPort(nullptr, getSerialPortCount()), nullptr);
  EXPECT_EQ(getSerialPort(nullptr, -1), nullptr);
  ObjectRecord* port = getSerialPort(nullptr, 3);
  auto* p = reinterpret_cast<SerialPortObject*>(port);
  RuntimeUnlockString(p->inputDriverName);
  p->inputDriverName = NewString("COM77");
  objSetter(serial_, offsetof(SerialObject, serialPort), port);
  RuntimeUnlockObject(port);
  EXPECT_FALSE(Write("lost"));
  EXPECT_FALSE(Fields()->isOpen);
}

// Over the cable: the Serial object uses COM3, and the far end, COM4, opened
// as a plain device, plays the handheld.
class SerialLineOnCable : public SerialLine {
 protected:
  void SetUp() override {
    SerialLine::SetUp();
    char folder[MAX_PATH];
    dir_.assign(folder, GetEnvironmentVariableA("VELLORY_SERIAL_PAIR", folder, MAX_PATH));
    if (dir_.empty()) GTEST_SKIP() << "no serial cable in this session";
    far_ = CreateFileA("COM4", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(far_, INVALID_HANDLE_VALUE);
    COMMTIMEOUTS t = {50, 0, 2000, 0, 0};  // a read ends 50 ms after its last byte, or after 2 s
    SetCommTimeouts(far_, &t);
    Fields()->port = 2;
  }
  // Has the script that made the cable do `request` on the host side (through
  // files in that folder): the answer, or "" after five seconds.
  std::string AskHost(const std::string& request) {
    std::string answer = dir_ + "\\" + request + ".answer";
    DeleteFileA(answer.c_str());
    std::ofstream(dir_ + "\\" + request + ".request");
    for (int i = 0; i < 100; ++i, Sleep(50)) {
      std::ifstream in(answer, std::ios::binary);  // the answer appears whole
      if (in) return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    return "";
  }
  void SendFromFarEnd(const std::string& bytes) {
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(far_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
  }
  // What the far end reads up to `last`, or until nothing more comes.
  std::string ReceiveAtFarEnd(std::string_view last) {
    std::string got;
    char buffer[4096];
    DWORD n = 0;
    while (!got.ends_with(last) && ReadFile(far_, buffer, sizeof buffer, &n, nullptr) && n) got.append(buffer, n);
    return got;
  }

  std::string dir_;
};

// The first row is set by opening the line, the others by serialReset, which
// sets and clears each flag; all are read back from the device and the host's
// side. The pseudo-terminal has no modem lines: DTR only must not disturb the rest.
TEST_F(SerialLineOnCable, TheLineOpensAndResetsWithItsStoredSettings) {
  // Parity 1 odd, 2 even; stop 0 one bit, 2 two. A pseudo-terminal keeps
  // no parity bit (Linux clears PARENB on it), so parity shows as the
  // checking of input and the odd flag, on the host's side only.
  const struct { int16_t baud; DWORD rate; bool xon, cts, dtr; int16_t parity, stop; std::vector<const char*> stty;
  } rows[] = {
      {12, 38400, false, true, false, 1, 2,
       {"speed 38400 baud", " cs8", " inpck", " parodd", " cstopb", " crtscts", "-ixon", "-ixoff"}},
      {12, 38400, true, false, true, 2, 0, {" inpck", "-parodd", "-cstopb", "-crtscts", " ixon", " ixoff"}},
      {-1, 57600, false, true, false, 0, 0, {"-inpck", "-cstopb", " crtscts", "-ixon", "-ixoff"}},  // out of the table
  };
  Fields()->bits = 3;
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "baud " << r.baud << " XON " << r.xon << " CTS " << r.cts << " DTR " << r.dtr
                                    << " parity " << r.parity << " stop " << r.stop);
    Fields()->baud = r.baud;
    Fields()->xon = r.xon;
    Fields()->cts = r.cts;
    Fields()->dtr = r.dtr;
    Fields()->parity = r.parity;
    Fields()->stop = r.stop;
    HANDLE device = Device();
    if (Fields()->isOpen) {
      serialReset(serial_);
    } else {
      ASSERT_TRUE(serialOpen(serial_));
      EXPECT_TRUE(serialOpen(serial_));  // already open
      device = Device();
    }
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(device, &dcb));
    EXPECT_EQ(std::vector<DWORD>({dcb.BaudRate, dcb.fOutX, dcb.fOutxCtsFlow, dcb.StopBits}),
              std::vector<DWORD>({r.rate, r.xon, r.cts, DWORD(r.stop)}));
    EXPECT_EQ(std::vector<int>({dcb.XonChar, dcb.XoffChar}), std::vector<int>({0x11, 0x13}));
    std::string stty = AskHost("stty");
    for (const char* flag : r.stty) EXPECT_NE(stty.find(flag), std::string::npos) << flag << "\n" << stty;
  }
}

TEST_F(SerialLineOnCable, AWriteOpensTheLineEverythingWaitingArrivesInOnePollAndReleaseCloses) {
  Write("\x02hello\x03");
  ASSERT_TRUE(Fields()->isOpen);
  EXPECT_EQ(ReceiveAtFarEnd("\x03"), "\x02hello\x03");
  std::string sent;
  for (int i = 0; i < 3000; ++i) sent += static_cast<char>('A' + i % 26);
  SendFromFarEnd(sent);
  // The bytes cross the cable in the system's own time; once the driver
  // holds them all, one poll takes them all, without waiting for more.
  ASSERT_TRUE(DriverHolds(sent.size()));
  DWORD before = GetTickCount();
  PollSerialLines();
  EXPECT_LT(GetTickCount() - before, 500u) << "a poll blocked";
  EXPECT_EQ(Lookahead(), sent);
  EXPECT_TRUE(Fields()->dataArrived);
  EXPECT_EQ(Take(serialReadAll(serial_)), sent);
  PollSerialLines();  // nothing more waiting: returns at once
  EXPECT_EQ(Lookahead(), "");
  // Released, the line closes its device.
  HANDLE device = Device();
  DWORD flags = 0;
  ASSERT_TRUE(GetHandleInformation(device, &flags));
  RuntimeUnlockObject(serial_);
  serial_ = nullptr;
  EXPECT_FALSE(GetHandleInformation(device, &flags)) << "the device stayed open";
}

// A pulled cable: the next write fails at once and closes the line, and what
// arrived before stays to be read.
TEST_F(SerialLineOnCable, AWriteToAPulledCableFailsClosesTheLineAndKeepsWhatArrived) {
  ASSERT_TRUE(serialOpen(serial_));
  SendFromFarEnd("before");
  ASSERT_TRUE(DriverHolds(6));
  PollSerialLines();
  EXPECT_EQ(Lookahead(), "before");
  CloseHandle(far_);
  far_ = INVALID_HANDLE_VALUE;
  ASSERT_EQ(AskHost("unplug"), "unplugged");
  DWORD start = GetTickCount();
  EXPECT_FALSE(Write("into the void"));
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_FALSE(Fields()->isOpen);
  EXPECT_EQ(Fields()->driverHandle, 0xFFFFFFFFu);
  EXPECT_EQ(Lookahead(), "before");
  EXPECT_EQ(AskHost("plug"), "plugged");  // for the tests that follow
}

// A send given up while the far end reads nothing: what the driver still
// held is purged, so the far end gets what had already left, then the next
// send, and nothing of the purged bytes. The line runs at the cable's own
// speed, so filling it takes the driver's, the cable's and the far end's
// buffers; only the driver's part is purged.
TEST_F(SerialLineOnCable, PurgedOutputNeverReachesTheFarEnd) {
  std::string pattern(16u << 20, 0);
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<char>('a' + i % 26);
  auto writeSome = [this](std::string_view bytes, int32_t ms) {
    return serialWriteSome(serial_, StringRef::Adopt(NewString(bytes)).get(), ms);
  };
  ASSERT_TRUE(serialOpen(serial_));
  size_t offered = 0;
  for (int32_t took = 1; took > 0 && offered + 4096 <= pattern.size(); offered += static_cast<size_t>(took)) {
    took = writeSome(std::string_view(pattern).substr(offered, 4096), 100);
    ASSERT_GE(took, 0);
  }
  serialPurgeOutput(serial_);
  serialPurgeOutput(nullptr);
  ASSERT_EQ(writeSome("END", 2000), 3);
  std::string got = ReceiveAtFarEnd("END");
  ASSERT_GE(got.size(), 3u);
  EXPECT_LT(got.size() - 3, offered) << "nothing was purged";
  EXPECT_EQ(got, pattern.substr(0, got.size() - 3) + "END");
  // A closed line has nothing to purge.
  serialClose(serial_);
  serialPurgeOutput(serial_);
}

#endif

}  // namespace
