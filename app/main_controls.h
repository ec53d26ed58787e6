// The Main window's controls, by the names its description gives them: the
// files that drive them share these, so that a renamed control is renamed
// once.
#pragma once
#include "sdk/vellory.h"

VS_SHARED_STRING(kInputView, "InputView");
VS_SHARED_STRING(kSerialPort, "SerialPort");
VS_SHARED_STRING(kTextStatus, "TextStatus");
VS_SHARED_STRING(kProgressBar, "ProgressBar");
VS_SHARED_STRING(kTimerSerial, "TimerSerial");
VS_SHARED_STRING(kTimerKeyTyper, "TimerKeyTyper");
VS_SHARED_STRING(kTimerProgressStart, "TimerProgressStart");
VS_SHARED_STRING(kTimerProgressStop, "TimerProgressStop");
VS_SHARED_STRING(kTimerReconnect, "TimerReconnect");
VS_SHARED_STRING(kTimerSend, "TimerSend");
VS_SHARED_STRING(kTimerAutosave, "TimerAutosave");
