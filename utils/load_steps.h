// The steps SolvikaUtils takes when it is loaded into a process, each owned by
// the area it belongs to. dllmain.cpp runs them in order.
#pragma once

namespace utils {

void LoadFolders();              // settings: program, temporary and system folder
void LoadBrowserFlag();          // system: "IEDefBrowser" from "Tovrin.ini"
void LoadVersionTexts();         // system: Windows and Internet Explorer versions
void OpenDebugConsoleIfAsked();  // system: the "-tnnetopendebugconsole" switch
void LoadClientIdentity();       // settings: client identifier and number

void CloseDebugConsole();        // system: at unload

}  // namespace utils
