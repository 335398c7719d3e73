// The HTTP job record: the parameters first, then the run's state. Callers
// hold only its address (the handle).
#pragma once

#include <windows.h>

#include "SolvikaNet.h"
#include "win_handles.h"

namespace svnet {

class Form;
class HttpClient;

struct Job {
  // The published part, in the order of the documented record.
  TSVNetParams params;
  volatile uint8_t state;  // SVNET_IDLE ... SVNET_FAILED; written without the lock
  HANDLE thread;           // worker of the current run, kept until finalised
  HttpClient* client;      // exists only while the worker runs
  SvStr lastHost;
  SvStr readStr;
  int32_t resultCode;
  int32_t readTotal;
  int32_t writeTotal;
  int32_t readCurrent;
  int32_t writeCurrent;
  Form* ownForm;  // made by the run when the caller gave no form
  sv::CriticalSection lock;  // counters, fileIndex, lastHost, the pause
  HANDLE fileStream;         // local file of the request in progress
  SvStr localFile;
  int32_t fileIndex;
  SvArray fileList;  // pointers to TSVNetFileListRec
  // Kept apart from the published fields:
  sv::CriticalSection clientLock;  // client against a Disconnect from SVNetStop
  HANDLE stopEvent;                // set by SVNetStop: ends a speed-brake pause at once
};

}  // namespace svnet
