// Layouts of the system-service objects that compiled code creates and hands
// back to the runtime (clipboard, text encodings, dates). Their sizes are the
// instance sizes in sdk/builtin_class_layout.h.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "sdk/runtime_records.h"

struct ClipboardObject {
  ObjectRecord header;
  uint8_t isOpen;   // this object opened the system clipboard
  uint8_t emptied;  // the first setting emptied it already
  uint8_t reserved[6];
};

struct TextEncodingObject {
  ObjectRecord header;
  uint32_t base, variant, format;
  uint32_t reserved[2];
};

struct TextConverterObject {
  ObjectRecord header;
  uint32_t sourceCodePage, destinationCodePage;
  uint32_t reserved;
};

struct DateObject {
  ObjectRecord header;
  // File time (100 ns since 1601, local) in two words: a 64-bit field would
  // be aligned to 8 and grow the object past its instance size.
  uint32_t timeLow, timeHigh;
  uint8_t isSet;  // false: the current time is taken on first use
  uint8_t reserved[3];
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(ClipboardObject, isOpen) == 24);
static_assert(offsetof(ClipboardObject, emptied) == 25);
static_assert(sizeof(ClipboardObject) == 32);
static_assert(offsetof(TextEncodingObject, base) == 24);
static_assert(offsetof(TextEncodingObject, format) == 32);
static_assert(sizeof(TextEncodingObject) == 44);
static_assert(offsetof(TextConverterObject, destinationCodePage) == 28);
static_assert(sizeof(TextConverterObject) == 36);
static_assert(offsetof(DateObject, timeLow) == 24);
static_assert(offsetof(DateObject, isSet) == 32);
static_assert(sizeof(DateObject) == 36);
#endif

struct SerialObject {
  ObjectRecord header;
  SerialObject* nextSerial;
  uint32_t driverHandle;  // HANDLE; -1 (invalid) while closed
  int16_t baud, bits, stop, parity, port;
  uint8_t xon, cts, dtr;
  uint8_t isOpen;
  StringRecord* receiveBuffer;
  ObjectRecord* serialPort;  // SerialPort naming the device, or nil
  uint8_t dataArrived;
  uint8_t reserved[7];
};

struct SerialPortObject {
  ObjectRecord header;
  StringRecord* name;
  StringRecord* inputDriverName;
  StringRecord* outputDriverName;
  int32_t ratedSpeed, maximumSpeed;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(SerialObject, driverHandle) == 28);
static_assert(offsetof(SerialObject, baud) == 32);
static_assert(offsetof(SerialObject, port) == 40);
static_assert(offsetof(SerialObject, xon) == 42);
static_assert(offsetof(SerialObject, isOpen) == 45);
static_assert(offsetof(SerialObject, receiveBuffer) == 48);
static_assert(offsetof(SerialObject, serialPort) == 52);
static_assert(offsetof(SerialObject, dataArrived) == 56);
static_assert(sizeof(SerialObject) == 64);
static_assert(offsetof(SerialPortObject, inputDriverName) == 28);
static_assert(offsetof(SerialPortObject, maximumSpeed) == 40);
static_assert(sizeof(SerialPortObject) == 44);
#endif

struct FolderItemObject {
  ObjectRecord header;
  uint8_t hasPath;  // false: the program's folder, taken on first use
  uint8_t reserved[3];
  StringRecord* path;
};

struct TextOutputStreamObject {
  ObjectRecord header;
  int32_t file;  // HFILE of the compatibility calls; 0 once closed
  StringRecord* delimiter;
};

struct TextInputStreamObject {
  ObjectRecord header;
  int32_t file;  // 0 once closed
  uint8_t buffer[1024];
  uint32_t position;
  uint32_t count;
  uint32_t readFailed;  // nonzero once a read failed part-way; the stream then reports EOF
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(FolderItemObject, path) == 28);
static_assert(sizeof(FolderItemObject) == 32);
static_assert(offsetof(TextOutputStreamObject, delimiter) == 28);
static_assert(sizeof(TextOutputStreamObject) == 32);
static_assert(offsetof(TextInputStreamObject, buffer) == 28);
static_assert(offsetof(TextInputStreamObject, position) == 1052);
static_assert(offsetof(TextInputStreamObject, readFailed) == 1060);
static_assert(sizeof(TextInputStreamObject) == 1064);
#endif
