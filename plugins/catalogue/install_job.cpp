#include "install_job.h"

#include <windows.h>

#include "SolvikaDNM.h"
#include "SolvikaNet.h"
#include "SolvikaUtils.h"
#include "svstring.h"
#include "win_handles.h"

namespace patchkeeper {

namespace {

using sv::catalogue::DownloadJob;

constexpr wchar_t kChooserLibrary[] = L"SolvikaDNF.dll";
constexpr char kChooserExport[] = "SVDNFCreateJob";
constexpr char kProgramFolderDir[] = ":";  // the download manager's name for the program folder
constexpr uint8_t kPluginJobType = 1;

using CreateJobFn = uint32_t(SVAPI*)(const TSVNetParams*, const TSVNetParams*, const char*, uint8_t, const char*);

// The strings the two records point at, owned for the call.
struct JobStrings {
  sv::OwnedStr tag{sv::catalogue::kJobTag};
  sv::OwnedStr downloadPath{sv::catalogue::kDownloadPath};
  sv::OwnedStr files, localDir{kProgramFolderDir}, afterPath;
};

TSVNetParams DownloadParams(const JobStrings& s) {
  TSVNetParams p{};
  p.Size = sizeof(TSVNetParams);
  p.Method = SVNET_GET;
  p.HostMode = SVNET_HOSTS_SOURCE;
  p.AutoExtract = 1;
  p.Resume = 1;
  p.Path = s.downloadPath.Get();
  p.Files = s.files.Get();
  p.LocalDir = s.localDir.Get();
  p.Timeout = sv::catalogue::kDownloadTimeoutMs;
  p.Tag = s.tag.Get();
  return p;
}

TSVNetParams AfterParams(const JobStrings& s) {
  TSVNetParams p{};
  p.Size = sizeof(TSVNetParams);
  p.Method = SVNET_POSTORGET;
  p.HostMode = SVNET_HOSTS_SCRIPT;
  p.Path = s.afterPath.Get();
  p.Timeout = sv::catalogue::kAfterTimeoutMs;
  p.Tag = s.tag.Get();
  return p;
}

}  // namespace

uint32_t CreateInstallJob(const sv::catalogue::Entry& plugin) {
  const std::string programId = sv::TakeOut([](SvStr* out) { GetProgramId(out); });
  const DownloadJob job = sv::catalogue::MakeDownloadJob(plugin, programId);
  JobStrings strings;
  strings.files = sv::OwnedStr(job.files);
  strings.afterPath = sv::OwnedStr(job.after_path);
  const TSVNetParams download = DownloadParams(strings);
  const TSVNetParams after = AfterParams(strings);

  // The chooser is loaded by name for this one call and freed right after.
  sv::Module chooser(LoadLibraryW(kChooserLibrary));
  if (chooser) {
    auto create = reinterpret_cast<CreateJobFn>(reinterpret_cast<void*>(GetProcAddress(chooser.Get(), kChooserExport)));
    if (create) return create(&download, &after, job.title.c_str(), kPluginJobType, job.iparam.c_str());
  }
  return SVDNMCreateJob(&download, &after, job.title.c_str(), kPluginJobType, job.iparam.c_str());
}

}  // namespace patchkeeper
