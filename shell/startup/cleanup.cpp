#include "cleanup.h"

#include <string>

#include "svstring.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {

// The files removed at every start:
// - "PatchKeeper.upd" lists the plugins that waited for a restart; the
//   restart that runs this code has applied them;
// - the dump library and the update library of the older installation;
// - library, icon and data file of the two discontinued plugins, the news
//   ticker "TovrinNews" and the weather plugin "TovrinWeather".
constexpr const char* kLeftoverFiles[] = {
    "PatchKeeper.upd",   "Tovrin_Dump.dll",   "TovrinUpdate.dll",
    "TovrinNews.svx",    "TovrinNews.ico",    "TovrinNews.svm",
    "TovrinWeather.svx", "TovrinWeather.ico", "TovrinWeather.svm",
};
// Their settings sections in "Tovrin.ini" (plugin sections begin with "*").
constexpr const char* kDiscontinuedPluginSections[] = {"*TovrinNews", "*TovrinWeather"};

}  // namespace

void CleanUpProgramFolder() {
  std::string folder = sv::TakeOut([](SvStr* out) { GetCurrDir(out); });
  for (const char* name : kLeftoverFiles) {
    std::string path = folder + name;
    if (SVFileExists(path.c_str())) SVDeleteFile(path.c_str());
  }
  // The toolkit's runtime libraries used to be copied here from the system
  // folder when missing. This build links its runtime statically into every
  // module, so there is nothing to copy.
  for (const char* section : kDiscontinuedPluginSections) DeleteIniValue(section, "");
}

}  // namespace shell
