#include "jobs/file_list.h"

#include <new>
#include <vector>

#include "nettext.h"
#include "svstring.h"
#include "text/decimal.h"

namespace svnet {

namespace {

constexpr char kEntrySeparator = '\t';
constexpr char kFieldSeparator = '\x06';
enum { kFieldPath, kFieldHost, kFieldOffset, kFieldCount };

std::vector<std::string> Entries(const std::string& files) {
  std::vector<std::string> entries;
  if (files.empty()) {
    entries.emplace_back();
    return entries;
  }
  for (auto& e : Fields(files, kEntrySeparator))
    if (!e.empty()) entries.push_back(e);
  return entries;
}

void FillRecord(TSVNetFileListRec* rec, const std::string& entry) {
  std::vector<std::string> f = Fields(entry, kFieldSeparator);
  f.resize(kFieldCount);
  sv::PutStr(&rec->Path, f[kFieldPath]);
  sv::PutStr(&rec->Name, FileNameOf(f[kFieldPath]));
  sv::PutStr(&rec->Host, f[kFieldHost]);
  rec->Offset = ToInt(f[kFieldOffset], 0);
  if (rec->Offset < 0) rec->Offset = 0;
}

void FreeRecords(SvArray list) {
  for (int32_t i = 0; i < sv::ArrayLen(list); ++i) {
    TSVNetFileListRec* rec = FileRecord(list, i);
    if (!rec) continue;
    sv::Release(rec->Name);
    sv::Release(rec->Path);
    sv::Release(rec->Host);
    sv::Release(rec->ETag);
    HeapFree(GetProcessHeap(), 0, rec);
  }
  sv::Release(list);
}

}  // namespace

std::string FileNameOf(const std::string& remotePath) {
  std::string name = remotePath.substr(0, remotePath.find('?'));
  const size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

TSVNetFileListRec* FileRecord(SvArray list, int32_t index) { return (TSVNetFileListRec*)(intptr_t)list[index]; }

void BuildFileList(Job* j) {
  const std::vector<std::string> entries = Entries(sv::Copy(j->params.Files));
  SvArray list = sv::ArrayNew((int32_t)entries.size());
  if (!list) throw std::bad_alloc();
  for (size_t i = 0; i < entries.size(); ++i) {
    auto* rec = (TSVNetFileListRec*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(TSVNetFileListRec));
    if (!rec) {
      FreeRecords(list);
      throw std::bad_alloc();
    }
    list[i] = (int32_t)(intptr_t)rec;
    FillRecord(rec, entries[i]);
  }
  sv::Lock hold(j->lock);
  j->fileList = list;
}

void FreeFileList(Job* j) {
  SvArray list;
  {
    sv::Lock hold(j->lock);
    list = j->fileList;
    j->fileList = nullptr;
  }
  FreeRecords(list);
}

}  // namespace svnet
