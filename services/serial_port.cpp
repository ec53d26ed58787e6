// Serial lines over the system's communications devices. A line is opened
// with read time-outs that make every read return at once with whatever the
// driver holds, so that polling never blocks the one UI thread. A write may
// take as long as its bytes need on the line plus two seconds; one that the
// far end does not take in that time (flow control holding it, a handheld
// that stopped reading) fails instead of freezing the program. The stored
// XON, CTS and DTR flags set the device's flow control. A send that is
// given up is purged from the driver, so that none of it reaches the far
// end later, in front of the next send.
//
// A device that goes away while open (an adapter pulled out, the far end of
// a pseudo-terminal gone) closes the line by itself: the application sees it
// closed and can tell the user. What arrived before stays in the receive
// buffer. A failed read or write is checked at once; a line that only goes
// quiet is checked at a slow pace from the event loop's polls.
#include "services/serial_port.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "objects/builtin_classes.h"
#include "objects/checked_cast.h"
#include "objects/objects.h"
#include "objects/strings.h"
#include "sdk/service_layouts.h"
#include "sdk/vellory.h"
#include "services/serial_settings.h"

namespace {

constexpr uint32_t kClosed = static_cast<uint32_t>(-1);
constexpr DWORD kReadChunk = 1024;
constexpr DWORD kStatusCheckMs = 250;

SerialObject* gFirstSerial = nullptr;
DWORD gLastStatusCheck = 0;
// The ports getSerialPortCount found; getSerialPort answers from them.
std::vector<int> gPorts;

// The object as a Serial; null for nil and for an object of any other class.
SerialObject* AsSerial(ObjectRecord* o) { return As<SerialObject>(o); }
HANDLE Handle(const SerialObject* s) { return reinterpret_cast<HANDLE>(s->driverHandle); }

// A port's plain name ("COM12") is opened by its device path, which COM10
// and up need; any other driver name is taken as it is. Without a SerialPort
// (the field may hold any object) the port number names the device.
std::string DeviceName(const SerialObject* s) {
  const SerialPortObject* port = As<SerialPortObject>(s->serialPort);
  if (!port) return DevicePath(s->port + 1);
  std::string name(StringView(port->inputDriverName));
  int number = PortNumberOfName(name);
  return number ? DevicePath(number) : name;
}

LineSettings SettingsOf(const SerialObject* s) {
  return LineSettingsFor(s->baud, s->bits, s->parity, s->stop);
}

// Reads return at once; a write may take `writeLimitMs` in all.
void SetTimeouts(HANDLE device, DWORD writeLimitMs) {
  COMMTIMEOUTS t = {};
  t.ReadIntervalTimeout = MAXDWORD;
  t.WriteTotalTimeoutConstant = writeLimitMs;
  SetCommTimeouts(device, &t);
}

// Errors after which the device is no longer there to talk to.
bool IsGoneError(DWORD error) {
  switch (error) {
    case ERROR_BAD_COMMAND:
    case ERROR_ACCESS_DENIED:
    case ERROR_OPERATION_ABORTED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_INVALID_HANDLE:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_GEN_FAILURE:
    case ERROR_BROKEN_PIPE: return true;
    default: return false;
  }
}

// The device still answers a status request (a hung-up or removed one does not).
bool StillThere(HANDLE device) {
  DWORD errors = 0;
  COMSTAT status = {};
  return ClearCommError(device, &errors, &status) != 0;
}

// The one teardown of an open line (idempotent). What it received stays:
// a line whose device went away keeps it for the application to take.
void Lose(SerialObject* s) {
  if (!s->isOpen) return;
  CloseHandle(Handle(s));
  s->driverHandle = kClosed;
  s->isOpen = 0;
}

// Drops what the driver holds to send and ends a write it is still doing.
void PurgeOutput(SerialObject* s) { PurgeComm(Handle(s), PURGE_TXABORT | PURGE_TXCLEAR); }

// After a failed read or write: closes the line when the device is gone.
// True when it was.
bool LoseIfGone(SerialObject* s, DWORD error) {
  if (!IsGoneError(error) && StillThere(Handle(s))) return false;
  Lose(s);
  return true;
}

std::vector<std::string> PortsTheSystemLists() {
  std::vector<std::string> names;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return names;
  for (DWORD i = 0;; ++i) {
    char value[256];
    BYTE data[64];
    DWORD valueSize = sizeof value, dataSize = sizeof data - 1, type = 0;
    LONG r = RegEnumValueA(key, i, value, &valueSize, nullptr, &type, data, &dataSize);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;
    data[dataSize] = 0;
    names.emplace_back(reinterpret_cast<char*>(data));
  }
  RegCloseKey(key);
  return names;
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

// Takes what the driver holds. True when the last read came back empty
// without an error (the line is quiet).
bool Poll(SerialObject* s) {
  if (!s->isOpen) return false;
  char chunk[kReadChunk];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(Handle(s), chunk, kReadChunk, &got, nullptr)) {
      LoseIfGone(s, GetLastError());
      return false;
    }
    if (got == 0) return true;
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

void ApplyFlowControl(DCB& dcb, const FlowSettings& f) {
  dcb.fBinary = TRUE;
  dcb.fOutX = f.outX;
  dcb.fInX = f.inX;
  dcb.XonChar = f.xonChar;
  dcb.XoffChar = f.xoffChar;
  dcb.XonLim = f.xonLim;
  dcb.XoffLim = f.xoffLim;
  dcb.fOutxCtsFlow = f.outxCtsFlow;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fRtsControl = f.rtsControl;
  dcb.fDtrControl = f.dtrControl;
}

}  // namespace

void __cdecl SerialConstruct(ObjectRecord* object, ClassRecord*) {
  auto* s = reinterpret_cast<SerialObject*>(object);
  s->driverHandle = kClosed;
  s->nextSerial = gFirstSerial;
  gFirstSerial = s;
}

void __cdecl SerialDestruct(ObjectRecord* object, ClassRecord*) {
  auto* s = reinterpret_cast<SerialObject*>(object);
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
  DWORD now = GetTickCount();
  bool checkQuiet = now - gLastStatusCheck >= kStatusCheckMs;
  if (checkQuiet) gLastStatusCheck = now;
  for (SerialObject* s = gFirstSerial; s; s = s->nextSerial)
    if (Poll(s) && checkQuiet && !StillThere(Handle(s))) Lose(s);
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
  SetTimeouts(device, WriteTimeLimitMs(SettingsOf(s), 0));
  return true;
}

void serialReset(ObjectRecord* serial) {
  SerialObject* s = AsSerial(serial);
  if (!s || !s->isOpen) return;
  DCB dcb = {};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(Handle(s), &dcb)) return;
  LineSettings line = SettingsOf(s);
  dcb.BaudRate = line.baudRate;
  dcb.ByteSize = line.byteSize;
  dcb.Parity = line.parity;
  dcb.StopBits = line.stopBits;
  ApplyFlowControl(dcb, FlowSettingsFor(s->xon, s->cts, s->dtr));
  SetCommState(Handle(s), &dcb);
}

void serialClose(ObjectRecord* serial) {
  SerialObject* s = AsSerial(serial);
  if (!s) return;
  RuntimeUnlockString(s->receiveBuffer);
  s->receiveBuffer = nullptr;
  Lose(s);
}

bool serialWrite(ObjectRecord* serial, StringRecord* text) {
  SerialObject* s = AsSerial(serial);
  if (!s || (!s->isOpen && !serialOpen(serial))) return false;
  std::string_view bytes = StringView(text);
  if (bytes.empty()) return true;
  DWORD count = static_cast<DWORD>(bytes.size());
  SetTimeouts(Handle(s), WriteTimeLimitMs(SettingsOf(s), count));
  DWORD written = 0;
  bool ok = WriteFile(Handle(s), bytes.data(), count, &written, nullptr);
  if (ok && written == count) return true;
  DWORD error = ok ? ERROR_TIMEOUT : GetLastError();
  // What a refused write left queued would otherwise reach the handheld in
  // front of whatever is sent next.
  if (!LoseIfGone(s, error)) PurgeOutput(s);
  return false;
}

int32_t serialWriteSome(ObjectRecord* serial, StringRecord* text, int32_t limitMs) {
  SerialObject* s = AsSerial(serial);
  if (!s || !s->isOpen) return -1;
  std::string_view bytes = StringView(text);
  if (bytes.empty()) return 0;
  SetTimeouts(Handle(s), limitMs > 0 ? static_cast<DWORD>(limitMs) : 1);
  DWORD written = 0;
  if (WriteFile(Handle(s), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
    return static_cast<int32_t>(written);
  if (LoseIfGone(s, GetLastError())) return -1;
  return static_cast<int32_t>(written);  // the limit came first: what went out before it
}

void serialPurgeOutput(ObjectRecord* serial) {
  SerialObject* s = AsSerial(serial);
  if (s && s->isOpen) PurgeOutput(s);
}

void serialXmitWait(ObjectRecord*) {}
void serialLeaveDTROnClose(ObjectRecord*) {}

void serialTick(ObjectRecord* serial) {
  if (SerialObject* s = AsSerial(serial)) Poll(s);
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

int32_t getSerialPortCount() {
  gPorts = PortList(PortsTheSystemLists());
  return static_cast<int32_t>(gPorts.size());
}

ObjectRecord* getSerialPort(ObjectRecord*, int32_t index) {
  if (gPorts.empty()) getSerialPortCount();
  if (index < 0 || index >= static_cast<int32_t>(gPorts.size())) return nullptr;
  ObjectRecord* object = NewObjectOfClass(FindBuiltInClass("SerialPort"));
  auto* p = reinterpret_cast<SerialPortObject*>(object);
  std::string name = PortName(gPorts[static_cast<size_t>(index)]);
  p->name = NewString(name);
  p->inputDriverName = NewString(name);
  p->outputDriverName = NewString(name);
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
