// The Serial class: the runtime's serial line. Bytes are not pushed to the
// application; the event loop polls every open line each step and appends
// what arrived to the line's receive buffer.
#pragma once
#include "sdk/class_records.h"

void __cdecl SerialConstruct(ObjectRecord* serial, ClassRecord* cls);
void __cdecl SerialDestruct(ObjectRecord* serial, ClassRecord* cls);
void __cdecl SerialPortDestruct(ObjectRecord* port, ClassRecord* cls);

// The event loop's poll of every open line.
void PollSerialLines();

extern EventEntry gSerialEvents[1];
extern const PropertyEntry kSerialProperties[];
extern const uint32_t kSerialPropertyCount;
extern const PropertyEntry kSerialPortProperties[];
extern const uint32_t kSerialPortPropertyCount;
