// Serial lines. The settings tables are checked everywhere; under Wine the
// Serial object is driven against a real device pair when the test session
// provides one (tests/serial/run_serial_test.sh links COM3 and COM4 to the
// two ends of a pseudo-terminal cable and sets VELLORY_SERIAL_PAIR): the far
// end is opened as a plain device and plays the handheld.
#include <gtest/gtest.h>

#include <string>

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

TEST_F(SerialLine, PortsAreCountedAsFourAndNamedAfterTheirNumber) {
  EXPECT_EQ(getSerialPortCount(), 4);
  EXPECT_EQ(getSerialPort(nullptr, 4), nullptr);
  EXPECT_EQ(getSerialPort(nullptr, -1), nullptr);
  ObjectRecord* port = getSerialPort(nullptr, 1);
  ASSERT_NE(port, nullptr);
  auto* p = reinterpret_cast<SerialPortObject*>(port);
  EXPECT_EQ(StringView(p->name), "COM2");
  EXPECT_EQ(StringView(p->inputDriverName), "COM2");
  EXPECT_EQ(StringView(p->outputDriverName), "COM2");
  EXPECT_EQ(p->ratedSpeed, 115200);
  EXPECT_EQ(p->maximumSpeed, 115200);
  RuntimeUnlockObject(port);
}

TEST_F(SerialLine, WritingToALineThatCannotOpenWritesNothingAndStaysClosed) {
  ObjectRecord* port = getSerialPort(nullptr, 3);
  auto* p = reinterpret_cast<SerialPortObject*>(port);
  RuntimeUnlockString(p->inputDriverName);
  p->inputDriverName = NewString("COM77");
  objSetter(serial_, offsetof(SerialObject, serialPort), port);
  RuntimeUnlockObject(port);
  StringRecord* text = NewString("lost");
  serialWrite(serial_, text);
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
  Fields()->baud = -1;
  serialReset(serial_);
  ASSERT_TRUE(GetCommState(device, &dcb));
  EXPECT_EQ(dcb.BaudRate, 57600u);
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

TEST_F(SerialLine, ACableThatGoesAwayEndsPollsQuietly) {
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
  for (int i = 0; i < 20; ++i) PollSerialLines();
  StringRecord* text = NewString("into the void");
  serialWrite(serial_, text);
  RuntimeUnlockString(text);
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_EQ(Lookahead(), "before");
  serialClose(serial_);
  EXPECT_EQ(AskHost("plug"), "plugged");  // for the tests that follow
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
