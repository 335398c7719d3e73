// Page-definition files ("*.svb" in the program folder): each one becomes an
// entry of the shell's plugin list that opens a browser window on one start
// page. What the file says, which plugin key it gives and what registering it
// writes into "Tovrin.ini" are plain functions, without Windows calls, so
// that they are tested and fuzzed natively.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace svbrowser {

constexpr char kLibraryName[] = "SVBrowser.svx";
constexpr int kModuleVersion = 111;
constexpr char kPageFileExtension[] = ".svb";
constexpr char kPageSection[] = "svb";
constexpr char kDefaultName[] = "SVBrowser";
constexpr char kDefaultTopic[] = "SVBrowser";
// The maker's start page, for a page definition or plugin section without one.
constexpr char kDefaultStartPage[] = "http://www.solvika.invalid/";

// The plugin-section keys that a page definition fills, in the order they
// are registered.
constexpr const char* kPageKeys[] = {"Name", "Section", "Topic", "URL"};

// Section "svb" of a page-definition file, with the defaults for what is
// missing (a key present with an empty value stays empty, as the platform's
// profile reader gives it).
struct PageDefinition {
  std::string name = kDefaultName;
  std::string section;
  std::string topic = kDefaultTopic;
  std::string url = kDefaultStartPage;

  // The value of one of kPageKeys (empty for any other key).
  const std::string& Value(std::string_view key) const;
};

PageDefinition ReadPageDefinition(std::string_view fileBytes);

// The plugin key of a page-definition file: "*" and the file name without
// its extension ("News.svb" gives "*News"). None for a name that does not end
// in ".svb" (a search may also match a longer extension through a short
// name) or that has nothing before it.
std::optional<std::string> PluginKeyOfFile(std::string_view fileName);

// The plugin id: the key without its leading "*" characters.
std::string PluginIdOfKey(std::string_view key);

struct SettingWrite {
  std::string key, value;
};

// What registering a page definition writes into the plugin's section:
// "Library" and "Version" always, then each page key whose current value
// (`current` reads the section as it stands) is missing or empty, taken from
// the page definition. Values already in the section stay.
std::vector<SettingWrite> RegistrationWrites(const PageDefinition& page,
                                             const std::function<std::string(const char* key)>& current);

}  // namespace svbrowser
