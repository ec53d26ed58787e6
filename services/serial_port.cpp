// Serial lines over the system's communications devices. A line is opened
// with read time-outs that make every read return at once with whatever the
// driver holds, so that polling never blocks the one UI thread; writes are
// synchronous. Flow control is left as the system has it: the stored XON,
// CTS and DTR flags are the designer's and are only read back. A device that
// disappears while open (a cable pulled) makes reads fail, which ends each
// poll quietly; the program goes on.
#include "services/serial_port.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>

#include "objects/builtin_classes.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/serial_settings.h"

namespace {

constexpr uint32_t kClosed = static_cast<uint32_t>(-1);
constexpr DWORD kReadChunk = 1024;
constexpr int32_t kPortCount = 4;

SerialObject* gFirstSerial = nullptr;

SerialObject* AsSerial(ObjectRecord* o) { return reinterpret_cast<SerialObject*>(o); }
HANDLE Handle(const SerialObject* s) { return reinterpret_cast<HANDLE>(s->driverHandle); }

std::string DeviceName(const SerialObject* s) {
  if (s->serialPort) {
    auto* port = reinterpret_cast<const SerialPortObject*>(s->serialPort);
    return std::string(StringView(port->inputDriverName));
  }
  return "COM" + std::to_string(s->port + 1);
}

void SetReturnAtOnceTimeouts(HANDLE device) {
  COMMTIMEOUTS t = {};
  t.ReadIntervalTimeout = MAXDWORD;
  SetCommTimeouts(device, &t);
}

// Appends `bytes` to the receive buffer: a new string, old buffer first.
void Append(SerialObject* s, const char* bytes, DWORD count) {
  StringRecord* arrived = NewString(bytes, static_cast<int32_t>(count));
  StringRecord* joined = RuntimeAddString(s->receiveBuffer, arrived);
  RuntimeUnlockString(arrived);
  RuntimeUnlockString(s->receiveBuffer);
  s->receiveBuffer = joined;
  s->dataArrived = 1;
}

void Poll(SerialObject* s) {
  if (!s->isOpen) return;
  char chunk[kReadChunk];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(Handle(s), chunk, kReadChunk, &got, nullptr) || got == 0) return;
    Append(s, chunk, got);
  }
}

void Unlink(SerialObject* s) {
  for (SerialObject** link = &gFirstSerial; *link; link = &(*link)->nextSerial)
    if (*link == s) {
      *link = s->nextSerial;
      break;
    }
  s->nextSerial = nullptr;
}

StringRecord* NewPortName(int32_t index) { return NewString("COM" + std::to_string(index + 1)); }

}  // namespace

void __cdecl SerialConstruct(ObjectRecord* object, ClassRecord*) {
  SerialObject* s = AsSerial(object);
  s->driverHandle = kClosed;
  s->nextSerial = gFirstSerial;
  gFirstSerial = s;
}

void __cdecl SerialDestruct(ObjectRecord* object, ClassRecord*) {
  SerialObject* s = AsSerial(object);
  serialClose(object);
  RuntimeUnlockObject(s->serialPort);
  s->serialPort = nullptr;
  Unlink(s);
}

void __cdecl SerialPortDestruct(ObjectRecord* object, ClassRecord*) {
  auto* p = reinterpret_cast<SerialPortObject*>(object);
  for (StringRecord** s : {&p->name, &p->inputDriverName, &p->outputDriverName}) {
    RuntimeUnlockString(*s);
    *s = nullptr;
  }
}

void PollSerialLines() {
  for (SerialObject* s = gFirstSerial; s; s = s->nextSerial) Poll(s);
}

extern "C" {

bool serialOpen(ObjectRecord* serial) {
  SerialObject* s = AsSerial(serial);
  if (!s) return false;
  if (s->isOpen) return true;
  HANDLE device = CreateFileA(DeviceName(s).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) return false;
  s->driverHandle = reinterpret_cast<uint32_t>(device);
  s->isOpen = 1;
  serialReset(serial);
  SetReturnAtOnceTimeouts(device);
  return true;
}

void serialReset(ObjectRecord* serial) {
  SerialObject* s = AsSerial(serial);
  if (!s || !s->isOpen) return;
  DCB dcb = {};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(Handle(s), &dcb)) return;
  LineSettings line = LineSettingsFor(s->baud, s->bits, s->parity, s->stop);
  dcb.BaudRate = line.baudRate;
  dcb.ByteSize = line.byteSize;
  dcb.Parity = line.parity;
  dcb.StopBits = line.stopBits;
  SetCommState(Handle(s), &dcb);
}

void serialClose(ObjectRecord* serial) {
  SerialObject* s = AsSerial(serial);
  if (!s) return;
  RuntimeUnlockString(s->receiveBuffer);
  s->receiveBuffer = nullptr;
  if (!s->isOpen) return;
  CloseHandle(Handle(s));
  s->driverHandle = kClosed;
  s->isOpen = 0;
}

void serialWrite(ObjectRecord* serial, StringRecord* text) {
  SerialObject* s = AsSerial(serial);
  if (!s || (!s->isOpen && !serialOpen(serial))) return;
  std::string_view bytes = StringView(text);
  if (bytes.empty()) return;
  DWORD written = 0;
  WriteFile(Handle(s), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void serialXmitWait(ObjectRecord*) {}
void serialLeaveDTROnClose(ObjectRecord*) {}

void serialTick(ObjectRecord* serial) {
  if (serial) Poll(AsSerial(serial));
}

StringRecord* serialRead(ObjectRecord* serial, int32_t count) {
  SerialObject* s = AsSerial(serial);
  if (!s) return nullptr;
  Poll(s);
  if (count <= 0) return nullptr;
  std::string_view buffer = StringView(s->receiveBuffer);
  if (static_cast<size_t>(count) >= buffer.size()) return std::exchange(s->receiveBuffer, nullptr);
  StringRecord* taken = NewString(buffer.substr(0, static_cast<size_t>(count)));
  StringRecord* rest = NewString(buffer.substr(static_cast<size_t>(count)));
  RuntimeUnlockString(s->receiveBuffer);
  s->receiveBuffer = rest;
  return taken;
}

StringRecord* serialReadAll(ObjectRecord* serial) {
  SerialObject* s = AsSerial(serial);
  if (!s) return nullptr;
  Poll(s);
  s->dataArrived = 0;
  return std::exchange(s->receiveBuffer, nullptr);
}

void serialFlush(ObjectRecord* serial) {
  SerialObject* s = AsSerial(serial);
  if (!s) return;
  Poll(s);
  RuntimeUnlockString(s->receiveBuffer);
  s->receiveBuffer = nullptr;
}

int32_t getSerialPortCount() { return kPortCount; }

ObjectRecord* getSerialPort(ObjectRecord*, int32_t index) {
  if (index < 0 || index >= kPortCount) return nullptr;
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("SerialPort"));
  auto* p = reinterpret_cast<SerialPortObject*>(object);
  p->name = NewPortName(index);
  p->inputDriverName = NewPortName(index);
  p->outputDriverName = NewPortName(index);
  p->ratedSpeed = p->maximumSpeed = 115200;
  return object;
}

}  // extern "C"

EventEntry gSerialEvents[1] = {{0, "DataAvailable", "", "", 0, nullptr}};

namespace {

constexpr uint32_t Field(size_t offset) { return static_cast<uint32_t>(offset); }

}  // namespace

const PropertyEntry kSerialProperties[] = {
    {"Behavior", "Baud", "Integer", CodeOf(shortFieldGetter), CodeOf(shortFieldSetter),
     Field(offsetof(SerialObject, baud))},
    {"Behavior", "Bits", "Integer", CodeOf(shortFieldGetter), CodeOf(shortFieldSetter),
     Field(offsetof(SerialObject, bits))},
    {"Behavior", "Stop", "Integer", CodeOf(shortFieldGetter), CodeOf(shortFieldSetter),
     Field(offsetof(SerialObject, stop))},
    {"Behavior", "Parity", "Integer", CodeOf(shortFieldGetter), CodeOf(shortFieldSetter),
     Field(offsetof(SerialObject, parity))},
    {"Behavior", "Port", "Integer", CodeOf(shortFieldGetter), CodeOf(shortFieldSetter),
     Field(offsetof(SerialObject, port))},
    {"Behavior", "XON", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     Field(offsetof(SerialObject, xon))},
    {"Behavior", "CTS", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     Field(offsetof(SerialObject, cts))},
    {"Behavior", "DTR", "Boolean", CodeOf(byteFieldGetter), CodeOf(byteFieldSetter),
     Field(offsetof(SerialObject, dtr))},
    {"Behavior", "Lookahead", "String", CodeOf(stringGetter), nullptr,
     Field(offsetof(SerialObject, receiveBuffer))},
    {"Behavior", "SerialPort", "SerialPort", CodeOf(objGetter), CodeOf(objSetter),
     Field(offsetof(SerialObject, serialPort))},
    {"Behavior", "Win32DriverHandle", "Integer", CodeOf(intFieldGetter), nullptr,
     Field(offsetof(SerialObject, driverHandle))},
};
const uint32_t kSerialPropertyCount = sizeof(kSerialProperties) / sizeof(kSerialProperties[0]);

const PropertyEntry kSerialPortProperties[] = {
    {"Behavior", "Name", "String", CodeOf(stringGetter), nullptr,
     Field(offsetof(SerialPortObject, name))},
    {"Behavior", "InputDriverName", "String", CodeOf(stringGetter), nullptr,
     Field(offsetof(SerialPortObject, inputDriverName))},
    {"Behavior", "OutputDriverName", "String", CodeOf(stringGetter), nullptr,
     Field(offsetof(SerialPortObject, outputDriverName))},
    {"Behavior", "RatedSpeed", "Integer", CodeOf(intFieldGetter), nullptr,
     Field(offsetof(SerialPortObject, ratedSpeed))},
    {"Behavior", "MaximumSpeed", "Integer", CodeOf(intFieldGetter), nullptr,
     Field(offsetof(SerialPortObject, maximumSpeed))},
};
const uint32_t kSerialPortPropertyCount =
    sizeof(kSerialPortProperties) / sizeof(kSerialPortProperties[0]);
