// Reading one entry's data: stored or deflated, checked against its CRC-32
// and size, handed on in large blocks.
#pragma once

#include <functional>

#include "win_io.h"
#include "zip_engine.h"

namespace svzip {

// Calls `sink` with the uncompressed data of `entry` block by block; returns
// 0, or a negative engine error (the sink's false gives kSvZipErrWrite).
int32_t ReadEntryData(FileSource& source, const ZipEntry& entry,
                      const std::function<bool(const char*, size_t)>& sink);

// Whether the engine can unpack the entry (not encrypted, stored or deflated).
int32_t CheckSupported(const ZipEntry& entry);

}  // namespace svzip
