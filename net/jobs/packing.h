// The packing library's zip functions (ZipFiles, UnZipFiles), linked or
// loaded by name when first needed. Results as theirs; without the library 2.
#pragma once

#include <cstdint>
#include <string>

namespace svnet {

int32_t PackFiles(const std::string& archive, const std::string& files);
int32_t UnpackFiles(const std::string& archive, const std::string& folder, const std::string& masks);

}  // namespace svnet
