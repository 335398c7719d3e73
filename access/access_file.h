// The access file "qzwcontrol.ini" in the Windows folder, read and written
// through the platform's profile functions at every call.
#pragma once

#include "access_core.h"

namespace pf {

constexpr char kAccessFileName[] = "qzwcontrol.ini";

class ProfileAccessFile : public AccessFile {
 public:
  ProfileAccessFile();
  std::string Get(const std::string& section, const std::string& key) override;
  void Set(const std::string& section, const std::string& key, const std::string& value) override;
  void Remove(const std::string& section, const std::string& key) override;
  void RemoveSection(const std::string& section) override;
  std::vector<std::string> Sections() override;
  std::vector<std::string> Lines(const std::string& section) override;

 private:
  std::wstring path_;
};

}  // namespace pf
