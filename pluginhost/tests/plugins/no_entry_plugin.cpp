// A test plugin library without RunPlugin.
#include <windows.h>

#include "plugin_log.h"
#include "sv_abi.h"

extern "C" void SVAPI RegisterPlugin() { testplugin::Log("RegisterPlugin"); }
