// The HTTP job record and the engine's internal entry points.
#pragma once

#include <windows.h>

#include <string>

#include "SolvikaNet.h"
#include "http/form.h"
#include "http/http_client.h"

namespace svnet {

// The job record: the parameters first, then the run's state. Callers hold
// only its address.
struct Job {
  TSVNetParams p;
  volatile uint8_t State;
  HANDLE Thread;
  HttpClient* Client;
  SvStr LastHost;
  SvStr ReadStr;
  int32_t ResultCode;
  int32_t ReadTotal;
  int32_t WriteTotal;
  int32_t ReadCurrent;
  int32_t WriteCurrent;
  Form* OwnForm;
  CRITICAL_SECTION Lock;  // counters, FileIndex, LastHost, the pause
  HANDLE FileStream;
  SvStr LocalFile;
  int32_t FileIndex;
  SvArray FileList;  // pointers to TSVNetFileListRec
  // Kept apart from the published fields:
  CRITICAL_SECTION ClientLock;  // Client against a Disconnect from SVNetStop
  HANDLE StopEvent;             // set by SVNetStop: ends a speed-brake pause at once
};

const char* MethodName(int method);
std::string HandleText(HANDLE thread);
std::string S(SvStr s);  // string copy of an SvStr (empty for null)
void SetStr(SvStr* field, const std::string& value);
void Log(const std::string& line);

// The worker thread of one run.
DWORD WINAPI JobWorker(void* job);

// Finalising as SVNetFinalize does (caller checked the worker has ended).
void FinalizeJob(Job* job);
bool WorkerDone(Job* job);

// Packing library, resolved when first needed.
int32_t PackFiles(const std::string& archive, const std::string& files);
int32_t UnpackFiles(const std::string& archive, const std::string& folder, const std::string& masks);

// Host lists and proxy settings (main thread module).
std::string ScriptHostList();
std::string SourceHostList();
ProxySettings CurrentProxy();

}  // namespace svnet
