// The local-header walk of zip_format.h.
#pragma once

namespace svzip {

template <class Visit>
void WalkLocalHeaders(ByteSource& source, Visit visit) {
  const uint64_t size = source.Size();
  uint64_t pos = 0;
  for (;;) {
    unsigned char sig[4];
    if (!source.ReadAt(pos, sig, 4)) return;
    pos += 4;
    const uint32_t value = Get32(sig);
    if (value == kCentralSig || value == kEndSig) return;
    if (value != kLocalSig) continue;  // not a record: try the next 4 bytes

    unsigned char head[26];
    if (!source.ReadAt(pos, head, sizeof head)) return;
    pos += sizeof head;
    const uint32_t compressed = Get32(head + 14);
    const uint16_t nameLength = Get16(head + 22);
    const uint16_t extraLength = Get16(head + 24);
    std::string name(nameLength, '\0');
    if (nameLength && !source.ReadAt(pos, &name[0], nameLength)) return;
    pos += nameLength;
    if (name.size() > 256) name.resize(256);
    if (visit(name, Get16(head + 2))) return;
    if (pos + extraLength + compressed > size - (size < kEndSize ? size : kEndSize)) return;
    pos += extraLength + compressed;
  }
}

}  // namespace svzip
