// Serial lines. The settings tables are checked everywhere; under Wine the
// Serial object is driven against a real device pair when the test session
// provides one (tests/serial/run_serial_test.sh links COM3 and COM12 to one
// end of a pseudo-terminal cable and COM4 to the other, and sets
// VELLORY_SERIAL_PAIR): the far end is opened as a plain device and plays
// the handheld.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "services/serial_settings.h"

#ifdef _WIN32
#include <windows.h>

#include "objects/builtin_classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/serial_port.h"
#endif

namespace {

TEST(SerialSettings, IndicesOutsideTheTablesFallBackToTheCommonCase) {
  EXPECT_EQ(BaudRateForIndex(0), 300u);
  EXPECT_EQ(BaudRateForIndex(8), 9600u);
  EXPECT_EQ(BaudRateForIndex(12), 38400u);
  EXPECT_EQ(BaudRateForIndex(13), 57600u);
  EXPECT_EQ(BaudRateForIndex(14), 57600u);
  EXPECT_EQ(BaudRateForIndex(-1), 57600u);
  LineSettings line = LineSettingsFor(12, 3, 0, 0);
  EXPECT_EQ(line.baudRate, 38400u);
  EXPECT_EQ(line.byteSize, 8);
  EXPECT_EQ(line.parity, 0);
  EXPECT_EQ(line.stopBits, 0);
  line = LineSettingsFor(5, 2, 2, 1);
  EXPECT_EQ(line.byteSize, 7);
  EXPECT_EQ(line.parity, 2);  // even
  EXPECT_EQ(line.stopBits, 1);  // one and a half
  line = LineSettingsFor(5, 0, 7, 9);
  EXPECT_EQ(line.byteSize, 5);
  EXPECT_EQ(line.parity, 0);
  EXPECT_EQ(line.stopBits, 0);
}

TEST(SerialSettings, FlowControlFollowsTheThreeFlags) {
  struct Row {
    bool xon, cts, dtr;
    bool outX, outxCts;
    uint8_t rts, dtrControl;
  };
  const Row rows[] = {
      {false, false, false, false, false, 1, 0},
      {true, false, false, true, false, 1, 0},
      {false, true, false, false, true, 2, 0},
      {false, false, true, false, false, 1, 1},
      {true, true, true, true, true, 2, 1},
  };
  for (const Row& r : rows) {
    FlowSettings f = FlowSettingsFor(r.xon, r.cts, r.dtr);
    std::string row = "XON " + std::to_string(r.xon) + " CTS " + std::to_string(r.cts) + " DTR " +
                      std::to_string(r.dtr);
    EXPECT_EQ(f.outX, r.outX) << row;
    EXPECT_EQ(f.inX, r.outX) << row;
    EXPECT_EQ(f.outxCtsFlow, r.outxCts) << row;
    EXPECT_EQ(f.rtsControl, r.rts) << row;
    EXPECT_EQ(f.dtrControl, r.dtrControl) << row;
    EXPECT_EQ(f.xonChar, 0x11) << row;
    EXPECT_EQ(f.xoffChar, 0x13) << row;
    EXPECT_GT(f.xonLim, 0) << row;
    EXPECT_GT(f.xoffLim, 0) << row;
  }
}

TEST(SerialSettings, AWriteMayTakeItsLineTimePlusTwoSeconds) {
  struct Row {
    LineSettings line;
    uint32_t bytes, limitMs;
  };
  const Row rows[] = {
      {LineSettingsFor(13, 3, 0, 0), 0, 2000},          // nothing to send
      {LineSettingsFor(13, 3, 0, 0), 5760, 3000},       // 10 bits a byte at 57600
      {LineSettingsFor(8, 3, 2, 2), 96, 2120},          // 12 bits at 9600
      {LineSettingsFor(0, 3, 0, 0), 1, 2034},           // 10 bits at 300, rounded up
      {LineSettingsFor(13, 3, 0, 0), 0xFFFFFFFFu, 745656045},   // 4 GiB at 57600
      {LineSettingsFor(0, 3, 0, 0), 0xFFFFFFFFu, 0xFFFFFFFEu},  // capped below "forever"
  };
  for (const Row& r : rows)
    EXPECT_EQ(WriteTimeLimitMs(r.line, r.bytes), r.limitMs) << r.line.baudRate << " " << r.bytes;
}

TEST(SerialSettings, PortNamesAreComAndANumberUpTo256) {
  const std::pair<const char*, int> names[] = {
      {"COM1", 1},  {"com12", 12}, {"COM256", 256}, {"COM257", 0}, {"COM0", 0}, {"COM012", 0},
      {"COM", 0},   {"COM3x", 0},  {"LPT1", 0},     {"COM-1", 0},  {"", 0},     {"COM1000000", 0},
  };
  for (auto [name, number] : names) EXPECT_EQ(PortNumberOfName(name), number) << name;
  EXPECT_EQ(PortName(12), "COM12");
  EXPECT_EQ(DevicePath(3), "\\\\.\\COM3");
  EXPECT_EQ(DevicePath(33), "\\\\.\\COM33");
}

TEST(SerialSettings, ThePortListIsTheFirstFourAndEveryListedPortInOrder) {
  struct Row {
    std::vector<std::string> listed;
    std::vector<int> ports;
  };
  const Row rows[] = {
      {{}, {1, 2, 3, 4}},
      {{"COM33", "COM12", "COM3"}, {1, 2, 3, 4, 12, 33}},
      {{"COM256", "COM257", "LPT1", "COM12", "com12", ""}, {1, 2, 3, 4, 12, 256}},
  };
  for (const Row& r : rows) EXPECT_EQ(PortList(r.listed), r.ports) << r.listed.size() << " listed";
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
  static std::string Take(StringRecord* s) {
    std::string text(StringView(s));
    RuntimeUnlockString(s);
    return text;
  }
  std::string Lookahead() { return std::string(StringView(Fields()->receiveBuffer)); }
  // Bytes as if they had arrived from the line.
  void Arrive(std::string_view bytes) {
    StringRecord* s = NewString(bytes);
    StringRecord* joined = RuntimeAddString(Fields()->receiveBuffer, s);
    RuntimeUnlockString(s);
    RuntimeUnlockString(Fields()->receiveBuffer);
    Fields()->receiveBuffer = joined;
  }
  bool HavePair() { return GetEnvironmentVariableA("VELLORY_SERIAL_PAIR", nullptr, 0) > 0; }
  // Asks the script that made the cable to do `request` on the host side and
  // returns its answer ("" when it gave none within five seconds). The two
  // meet through files in the folder VELLORY_SERIAL_PAIR names.
  std::string AskHost(const std::string& request) {
    char folder[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VELLORY_SERIAL_PAIR", folder, MAX_PATH);
    std::string dir(folder, n);
    std::string answer = dir + "\\" + request + ".answer";
    DeleteFileA(answer.c_str());
    HANDLE ask = CreateFileA((dir + "\\" + request + ".request").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    CloseHandle(ask);
    for (int i = 0; i < 100; ++i) {
      HANDLE f = CreateFileA(answer.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
      if (f != INVALID_HANDLE_VALUE) {
        char text[4096];
        DWORD got = 0;
        ReadFile(f, text, sizeof text, &got, nullptr);
        CloseHandle(f);
        return std::string(text, got);
      }
      Sleep(50);
    }
    return "";
  }
  // The far end of the cable, on COM4; the Serial object uses COM3.
  void OpenFarEnd() {
    far_ = CreateFileA("COM4", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(far_, INVALID_HANDLE_VALUE);
    COMMTIMEOUTS t = {};
    t.ReadIntervalTimeout = 50;
    t.ReadTotalTimeoutConstant = 2000;
    SetCommTimeouts(far_, &t);
    Fields()->port = 2;
  }
  void SendFromFarEnd(const std::string& bytes) {
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(far_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
  }
  std::string ReceiveAtFarEnd(size_t count) {
    std::string got;
    char buffer[256];
    while (got.size() < count) {
      DWORD n = 0;
      if (!ReadFile(far_, buffer, sizeof buffer, &n, nullptr) || n == 0) break;
      got.append(buffer, n);
    }
    return got;
  }

  ObjectRecord* serial_ = nullptr;
  HANDLE far_ = INVALID_HANDLE_VALUE;
};

TEST_F(SerialLine, ANewLineIsClosedAndListedAndReadsTakeFromTheBuffer) {
  EXPECT_EQ(Fields()->driverHandle, 0xFFFFFFFFu);
  EXPECT_FALSE(Fields()->isOpen);
  Arrive("abcdef");
  EXPECT_EQ(Take(serialRead(serial_, 0)), "");
  EXPECT_EQ(Lookahead(), "abcdef");
  EXPECT_EQ(Take(serialRead(serial_, 2)), "ab");
  EXPECT_EQ(Lookahead(), "cdef");
  EXPECT_EQ(Take(serialRead(serial_, 99)), "cdef");
  EXPECT_EQ(Lookahead(), "");
  Arrive("xyz");
  Fields()->dataArrived = 1;
  EXPECT_EQ(Take(serialReadAll(serial_)), "xyz");
  EXPECT_FALSE(Fields()->dataArrived);
  Arrive("gone");
  serialFlush(serial_);
  EXPECT_EQ(Take(serialReadAll(serial_)), "");
  Arrive("released");
  serialClose(serial_);
  serialClose(serial_);
  EXPECT_EQ(Lookahead(), "");
  PollSerialLines();  // a closed line costs nothing and changes nothing
}

// The list is COM1 to COM4 and whatever the system lists besides, which
// under Wine depends on the machine: the test adds ports of its own to the
// system's list and takes them away again.
TEST_F(SerialLine, PortsAreTheFirstFourAndThoseTheSystemLists) {
  const char* kKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
  const std::pair<const char*, const char*> added[] = {
      {"\\Device\\VelloryTest12", "COM12"}, {"\\Device\\VelloryTest200", "COM200"},
      {"\\Device\\VelloryTestLpt", "LPT7"}};
  auto list = [] {
    std::vector<std::string> names;
    int32_t count = getSerialPortCount();
    for (int32_t i = 0; i < count; ++i) {
      ObjectRecord* port = getSerialPort(nullptr, i);
      if (!port) return names;
      auto* p = reinterpret_cast<SerialPortObject*>(port);
      names.emplace_back(StringView(p->name));
      EXPECT_EQ(StringView(p->inputDriverName), names.back());
      EXPECT_EQ(p->ratedSpeed, 115200);
      RuntimeUnlockObject(port);
    }
    EXPECT_EQ(getSerialPort(nullptr, count), nullptr);
    EXPECT_EQ(getSerialPort(nullptr, -1), nullptr);
    return names;
  };
  std::vector<std::string> before = list();
  ASSERT_GE(before.size(), 4u);
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(before[n - 1], "COM" + std::to_string(n));
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  for (auto [value, name] : added)
    RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                   static_cast<DWORD>(strlen(name) + 1));
  std::vector<std::string> with = list();
  for (auto [value, name] : added) RegDeleteValueA(key, value);
  RegCloseKey(key);
  std::vector<int> numbers;
  for (const std::string& name : with) numbers.push_back(PortNumberOfName(name));
  EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
  EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end()) << "a port twice";
  for (const char* name : {"COM12", "COM200"})
    EXPECT_NE(std::find(with.begin(), with.end(), name), with.end()) << name;
  EXPECT_EQ(std::find(with.begin(), with.end(), "LPT7"), with.end());
  EXPECT_EQ(list(), before);
}

TEST_F(SerialLine, WritingToALineThatCannotOpenWritesNothingAndStaysClosed) {
  ObjectRecord* port = getSerialPort(nullptr, 3);
  auto* p = reinterpret_cast<SerialPortObject*>(port);
  RuntimeUnlockString(p->inputDriverName);
  p->inputDriverName = NewString("COM77");
  objSetter(serial_, offsetof(SerialObject, serialPort), port);
  RuntimeUnlockObject(port);
  StringRecord* text = NewString("lost");
  EXPECT_FALSE(serialWrite(serial_, text));
  RuntimeUnlockString(text);
  EXPECT_FALSE(Fields()->isOpen);
  EXPECT_FALSE(serialOpen(serial_));
  EXPECT_EQ(Fields()->driverHandle, 0xFFFFFFFFu);
}

TEST_F(SerialLine, TheLineOpensWithItsStoredSettings) {
  if (!HavePair()) GTEST_SKIP() << "no serial cable in this session";
  OpenFarEnd();
  Fields()->baud = 12;
  Fields()->bits = 3;
  ASSERT_TRUE(serialOpen(serial_));
  EXPECT_TRUE(serialOpen(serial_));  // already open
  DCB dcb = {};
  dcb.DCBlength = sizeof dcb;
  HANDLE device = reinterpret_cast<HANDLE>(Fields()->driverHandle);
  ASSERT_TRUE(GetCommState(device, &dcb));
  EXPECT_EQ(dcb.BaudRate, 38400u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, NOPARITY);
  EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
  // The pseudo-terminal's own settings, as the host sees them.
  std::string stty = AskHost("stty");
  EXPECT_NE(stty.find("speed 38400 baud"), std::string::npos) << stty;
  EXPECT_NE(stty.find(" cs8"), std::string::npos) << stty;
  EXPECT_NE(stty.find("-parenb"), std::string::npos) << stty;
  EXPECT_NE(stty.find("-cstopb"), std::string::npos) << stty;
  COMMTIMEOUTS t = {};
  ASSERT_TRUE(GetCommTimeouts(device, &t));
  EXPECT_EQ(t.ReadIntervalTimeout, MAXDWORD);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 2000u);  // nothing sent yet: the slack alone
  Fields()->baud = -1;
  serialReset(serial_);
  ASSERT_TRUE(GetCommState(device, &dcb));
  EXPECT_EQ(dcb.BaudRate, 57600u);
}

// The first row is set by opening the line, the others by serialReset on
// the open line; each is read back from the device and from the host's view
// of the pseudo-terminal. A pseudo-terminal has no modem lines, so DTR and
// RTS cannot be seen there (Wine reads both back as held on): the DTR rows
// only show that DTR does not disturb the rest.
TEST_F(SerialLine, FlowControlReachesTheDevice) {
  if (!HavePair()) GTEST_SKIP() << "no serial cable in this session";
  struct Row {
    bool xon, cts, dtr;
    const char* stty[3];
  };
  const Row rows[] = {
      {false, true, false, {" crtscts", "-ixon", "-ixoff"}},
      {true, false, true, {"-crtscts", " ixon", " ixoff"}},
      {false, false, true, {"-crtscts", "-ixon", "-ixoff"}},
      {true, true, false, {" crtscts", " ixon", " ixoff"}},
  };
  OpenFarEnd();
  for (const Row& r : rows) {
    std::string row = "XON " + std::to_string(r.xon) + " CTS " + std::to_string(r.cts) + " DTR " +
                      std::to_string(r.dtr);
    Fields()->xon = r.xon;
    Fields()->cts = r.cts;
    Fields()->dtr = r.dtr;
    if (Fields()->isOpen)
      serialReset(serial_);
    else
      ASSERT_TRUE(serialOpen(serial_));
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(reinterpret_cast<HANDLE>(Fields()->driverHandle), &dcb)) << row;
    EXPECT_EQ(dcb.fOutX, r.xon) << row;
    EXPECT_EQ(dcb.fInX, r.xon) << row;
    EXPECT_EQ(dcb.fOutxCtsFlow, r.cts) << row;
    if (r.xon) {
      EXPECT_EQ(dcb.XonChar, 0x11) << row;
      EXPECT_EQ(dcb.XoffChar, 0x13) << row;
    }
    std::string stty = AskHost("stty");
    for (const char* flag : r.stty) EXPECT_NE(stty.find(flag), std::string::npos) << row << ": " << flag << "\n" << stty;
  }
}

TEST_F(SerialLine, AWriteOpensTheLineAndReachesTheFarEnd) {
  if (!HavePair()) GTEST_SKIP() << "no serial cable in this session";
  OpenFarEnd();
  StringRecord* text = NewString("\x02hello\x03");
  serialWrite(serial_, text);
  RuntimeUnlockString(text);
  EXPECT_TRUE(Fields()->isOpen);
  EXPECT_EQ(ReceiveAtFarEnd(7), "\x02hello\x03");
}

TEST_F(SerialLine, EverythingWaitingArrivesInOnePollWithoutBlocking) {
  if (!HavePair()) GTEST_SKIP() << "no serial cable in this session";
  OpenFarEnd();
  ASSERT_TRUE(serialOpen(serial_));
  std::string sent;
  for (int i = 0; i < 3000; ++i) sent += static_cast<char>('A' + i % 26);
  SendFromFarEnd(sent);
  // The bytes cross the cable in the system's own time.
  std::string received;
  for (int tries = 0; tries < 100 && received.size() < sent.size(); ++tries) {
    Sleep(20);
    DWORD before = GetTickCount();
    PollSerialLines();
    EXPECT_LT(GetTickCount() - before, 500u) << "a poll blocked";
    received = Lookahead();
  }
  EXPECT_EQ(received, sent);
  EXPECT_TRUE(Fields()->dataArrived);
  EXPECT_EQ(Take(serialReadAll(serial_)), sent);
  PollSerialLines();  // nothing more waiting: returns at once
  EXPECT_EQ(Lookahead(), "");
}

// A far end that stops taking data (the cable's own process stopped, the
// handheld side not reading): the write gives up after its line time plus
// two seconds, says so, and the line stays open.
TEST_F(SerialLine, AWriteTheFarEndDoesNotTakeFailsAfterItsTimeLimit) {
  if (!HavePair()) GTEST_SKIP() << "no serial cable in this session";
  OpenFarEnd();
  Fields()->baud = 13;
  ASSERT_TRUE(serialOpen(serial_));
  ASSERT_EQ(AskHost("stop"), "stopped");
  const uint32_t size = 32 * 1024;
  uint32_t limit = WriteTimeLimitMs(LineSettingsFor(13, 0, 0, 0), size);
  StringRecord* text = NewString(std::string(size, 'w'));
  DWORD start = GetTickCount();
  bool written = serialWrite(serial_, text);
  DWORD took = GetTickCount() - start;
  RuntimeUnlockString(text);
  EXPECT_EQ(AskHost("cont"), "continued");
  ReceiveAtFarEnd(size);  // what did go out, out of the way of later tests
  EXPECT_FALSE(written);
  EXPECT_GE(took + 100, limit) << "gave up early";
  EXPECT_LT(took, limit + 5000) << "waited far past its limit";
  EXPECT_TRUE(Fields()->isOpen);
  text = NewString("");
  EXPECT_TRUE(serialWrite(serial_, text));
  RuntimeUnlockString(text);
}

TEST_F(SerialLine, APulledCableClosesTheLineAndKeepsWhatArrived) {
  if (!HavePair()) GTEST_SKIP() << "no serial cable in this session";
  OpenFarEnd();
  ASSERT_TRUE(serialOpen(serial_));
  SendFromFarEnd("before");
  Sleep(100);
  PollSerialLines();
  EXPECT_EQ(Lookahead(), "before");
  CloseHandle(far_);
  far_ = INVALID_HANDLE_VALUE;
  ASSERT_EQ(AskHost("unplug"), "unplugged");
  DWORD start = GetTickCount();
  while (Fields()->isOpen && GetTickCount() - start < 3000) {
    PollSerialLines();
    Sleep(20);
  }
  DWORD took = GetTickCount() - start;
  EXPECT_FALSE(Fields()->isOpen) << "the line stayed open";
  EXPECT_LT(took, 1000u);
  EXPECT_EQ(Fields()->driverHandle, 0xFFFFFFFFu);
  EXPECT_EQ(Lookahead(), "before");
  StringRecord* text = NewString("into the void");
  EXPECT_FALSE(serialWrite(serial_, text));
  RuntimeUnlockString(text);
  EXPECT_EQ(AskHost("plug"), "plugged");  // for the tests that follow
}

// A write is the first to meet the pulled cable: it fails and closes the line.
TEST_F(SerialLine, AWriteToAPulledCableFailsAndClosesTheLine) {
  if (!HavePair()) GTEST_SKIP() << "no serial cable in this session";
  OpenFarEnd();
  ASSERT_TRUE(serialOpen(serial_));
  CloseHandle(far_);
  far_ = INVALID_HANDLE_VALUE;
  ASSERT_EQ(AskHost("unplug"), "unplugged");
  StringRecord* text = NewString("into the void");
  DWORD start = GetTickCount();
  EXPECT_FALSE(serialWrite(serial_, text));
  EXPECT_LT(GetTickCount() - start, 1000u);
  RuntimeUnlockString(text);
  EXPECT_FALSE(Fields()->isOpen);
  EXPECT_EQ(AskHost("plug"), "plugged");
}

// COM12 is one end of the cable too: a port above COM9 opens by its number
// and through a SerialPort naming it.
TEST_F(SerialLine, APortAboveNineOpens) {
  if (!HavePair()) GTEST_SKIP() << "no serial cable in this session";
  OpenFarEnd();
  Fields()->port = 11;
  StringRecord* text = NewString("twelve");
  EXPECT_TRUE(serialWrite(serial_, text));
  EXPECT_EQ(ReceiveAtFarEnd(6), "twelve");
  serialClose(serial_);
  Fields()->port = 0;
  ObjectRecord* port = NewObjectOfClass(FindBuiltInClass("SerialPort"));
  reinterpret_cast<SerialPortObject*>(port)->inputDriverName = NewString("COM12");
  objSetter(serial_, offsetof(SerialObject, serialPort), port);
  RuntimeUnlockObject(port);
  EXPECT_TRUE(serialWrite(serial_, text));
  EXPECT_EQ(ReceiveAtFarEnd(6), "twelve");
  RuntimeUnlockString(text);
}

TEST_F(SerialLine, AReleasedLineClosesItsDevice) {
  if (!HavePair()) GTEST_SKIP() << "no serial cable in this session";
  OpenFarEnd();
  ASSERT_TRUE(serialOpen(serial_));
  HANDLE device = reinterpret_cast<HANDLE>(Fields()->driverHandle);
  DWORD flags = 0;
  ASSERT_TRUE(GetHandleInformation(device, &flags));
  RuntimeUnlockObject(serial_);
  serial_ = nullptr;
  EXPECT_FALSE(GetHandleInformation(device, &flags)) << "the device stayed open";
}

#endif

}  // namespace
