#include "load_steps.h"
namespace utils {
void LoadBrowserFlag() {}
void LoadVersionTexts() {}
void OpenDebugConsoleIfAsked() {}
void LoadClientIdentity() {}
void CloseDebugConsole() {}
}
