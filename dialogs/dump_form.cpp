#include "dump_form.h"

#include <commctrl.h>
#include <commdlg.h>

#include "app.h"
#include "dialog.h"
#include "dump_format.h"
#include "file_io.h"
#include "guard.h"
#include "ids.h"
#include "main_window.h"
#include "message_box.h"
#include "sv_shell.h"
#include "text.h"
#include "wide.h"

namespace dialogs {

namespace {

constexpr UINT_PTR kCounterTimer = 1;
constexpr UINT kCounterMs = 200;
constexpr int kBackupWindowCode = 101;
constexpr int kInputs[] = {IDC_DUMP_TARGET, IDC_DUMP_BROWSE, IDC_DUMP_START};

std::string TempFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, path);
  return sv::WithSlash(sv::Narrow(path));
}

std::string CannotText() { return sv::Ru(u8"Невозможно сделать резервную копию программы!\r"); }

std::string MissingFileText(const std::string& first, const std::string& path) {
  return CannotText() + first + "\"" + path + "\"!\r\r" + sv::Ru(u8"Переустановите программу!");
}

}  // namespace

DumpForm* DumpForm::Open() {
  ui::RegisterDialogClass(ui::ThisModule(), kDumpFormClass);
  auto* form = new DumpForm;
  HWND window = CreateDialogParamW(ui::ThisModule(), MAKEINTRESOURCEW(IDD_DUMP_FORM), ui::MainWindow(), Procedure,
                                   reinterpret_cast<LPARAM>(form));
  if (!window) {
    delete form;
    return nullptr;
  }
  ShowWindow(window, SW_SHOW);
  return form;
}

DumpForm::~DumpForm() {
  work_.Cancel();
  WaitWorker();
  listFile_.Reset();
  RemoveScratch();
  if (!succeeded_ && !work_.BaseName().empty()) {
    DeleteFileW(sv::Wide(work_.BaseName() + dump::kExtractorExtension).c_str());
    DeleteFileW(sv::Wide(work_.ArchivePath()).c_str());
  }
  if (!listPath_.empty()) DeleteFileW(sv::Wide(listPath_).c_str());
  if (window_) {
    SetWindowLongPtrW(window_, DWLP_USER, 0);
    DestroyWindow(window_);
  }
}

INT_PTR CALLBACK DumpForm::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* form = reinterpret_cast<DumpForm*>(lparam);
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    form->window_ = window;
  }
  auto* form = reinterpret_cast<DumpForm*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!form) return FALSE;
  return sv::Guard<INT_PTR>(FALSE, [&] { return form->Dispatch(message, wparam, lparam); });
}

INT_PTR DumpForm::Dispatch(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: OnInit(); return TRUE;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) OnCommand(LOWORD(wparam));
      return TRUE;
    case WM_TIMER:
      if (wparam == kCounterTimer) OnTimer();
      return TRUE;
    case WM_CLOSE: OnCommand(IDC_DUMP_CLOSE); return TRUE;
  }
  return FALSE;
}

std::string DumpForm::Caption() const { return ui::GetText(window_); }

void DumpForm::OnInit() {
  status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_, nullptr,
                            ui::ThisModule(), nullptr);
  SendDlgItemMessageW(window_, IDC_DUMP_PROGRESS, PBM_SETRANGE32, 0, 100);
  RECT r;
  GetClientRect(window_, &r);
  RECT bar;
  GetWindowRect(status_, &bar);
  ui::SetClientSize(window_, r.right, r.bottom + (bar.bottom - bar.top));
  SendMessageW(status_, WM_SIZE, 0, 0);
  ui::CenterOnDesktop(window_);
}

void DumpForm::OnCommand(int id) {
  switch (id) {
    case IDC_DUMP_BROWSE: Browse(); break;
    case IDC_DUMP_START:
    case IDOK:
      if (phase_ == Phase::kIdle) Start();
      break;
    case IDC_DUMP_CLOSE:
    case IDCANCEL:
      // The shell destroys the window through the library, which also lets
      // the library go; without a shell the window goes at once.
      if (HWND main = ui::MainWindow()) PostMessageW(main, WM_SHELL_COMMAND, SVSHELL_TOGGLE_WINDOW, kBackupWindowCode);
      else delete this;
      break;
  }
}

void DumpForm::Browse() {
  wchar_t file[MAX_PATH] = L"Solvika_Dump_Setup.exe";
  const std::wstring title = sv::Wide(sv::Ru(u8"Сохранить резервную копию программы как"));
  const std::wstring filter = sv::Wide(sv::Ru(u8"Solvika_Dump_Setup.exe")) + L'\0' + L"*.exe" + L'\0';
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = window_;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = L"exe";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (GetSaveFileNameW(&ofn)) ui::SetItemText(window_, IDC_DUMP_TARGET, sv::Narrow(file));
}

void DumpForm::EnableInputs(bool enable) {
  for (int id : kInputs) EnableWindow(GetDlgItem(window_, id), enable);
}

void DumpForm::Fail(const std::string& text) {
  ui::MessageBox1251(window_, text, Caption(), MB_ICONERROR | MB_TOPMOST);
}

void DumpForm::Start() {
  const std::string target = ui::GetItemText(window_, IDC_DUMP_TARGET);
  if (target.empty()) return Fail(sv::Ru(u8"Выберите файл"));
  const std::string base = dump::BackupBaseName(target);
  const std::string folder = sv::ProgramFolder();
  if (!sv::FileExists(folder + dump::kExtractorFile))
    return Fail(MissingFileText(sv::Ru(u8"Не найден файл "), folder + dump::kExtractorFile));
  if (!packer_) {
    packer_.Reset(LoadLibraryW(sv::Wide(folder + dump::kPackingLibrary).c_str()));
    if (!packer_) return Fail(MissingFileText(sv::Ru(u8"Не найден файл "), folder + dump::kPackingLibrary));
    zipFiles_ = reinterpret_cast<dump::ZipFilesProc>(reinterpret_cast<void*>(GetProcAddress(packer_.Get(), "ZipFiles")));
  }
  if (!zipFiles_)
    return Fail(MissingFileText(sv::Ru(u8"Не найдена точка входа в файл "), folder + dump::kPackingLibrary));

  EnableInputs(false);
  const std::string temp = TempFolder();
  listPath_ = temp + dump::kListEntryName;  // the name the platform gives "~sv-dumplist."
  work_.Prepare(folder, base, listPath_);
  ShowCounters(false);
  ui::SetText(status_, sv::Ru(u8" Идет подготовка к резервному копированию..."));
  listFile_.Reset(CreateFileW(sv::Wide(listPath_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!listFile_) {
    EnableInputs(true);
    return Fail(CannotText() + sv::Ru(u8"Невозможно создать файл ") + "\"" + temp + dump::kListEntryName + "\"!");
  }
  DeleteFileW(sv::Wide(work_.ArchivePath()).c_str());
  phase_ = Phase::kListing;
  StartWorker(ListBody);
  SetTimer(window_, kCounterTimer, kCounterMs, nullptr);
}

void DumpForm::StartWorker(LPTHREAD_START_ROUTINE body) {
  WaitWorker();
  worker_ = sv::Thread::Start(body, this);
}

void DumpForm::WaitWorker() {
  if (worker_) worker_.Wait(INFINITE);
  worker_.Reset();
}

DWORD WINAPI DumpForm::ListBody(void* self) {
  auto* form = static_cast<DumpForm*>(self);
  form->phaseResult_ = sv::Guard<int32_t>(dump::kPhaseListWriteFailed, [&] { return form->work_.ListFolder(form->listFile_.Get()); });
  return 0;
}

DWORD WINAPI DumpForm::PackBody(void* self) {
  auto* form = static_cast<DumpForm*>(self);
  form->phaseResult_ = sv::Guard<int32_t>(dump::kPhaseCopyFailed, [&] { return form->work_.PackFiles(form->zipFiles_); });
  return 0;
}

void DumpForm::ShowCounters(bool packing) {
  dump::Progress p = work_.Snapshot();
  ui::SetItemText(window_, IDC_DUMP_TOTAL_FILES, std::to_string(p.totalFiles));
  ui::SetItemText(window_, IDC_DUMP_TOTAL_SIZE, std::to_string(p.totalBytes / 1024) + sv::Ru(u8" Кбайт"));
  if (!packing) {
    ui::SetItemText(window_, IDC_DUMP_DONE_FILES, sv::Ru(u8"0 из"));
    ui::SetItemText(window_, IDC_DUMP_DONE_SIZE, sv::Ru(u8"0 из"));
    ui::SetItemText(window_, IDC_DUMP_PERCENT, "0%");
    SendDlgItemMessageW(window_, IDC_DUMP_PROGRESS, PBM_SETPOS, 0, 0);
    return;
  }
  const int64_t done = p.doneFiles < p.totalFiles ? p.doneFiles : p.totalFiles;
  ui::SetItemText(window_, IDC_DUMP_DONE_FILES, std::to_string(done) + sv::Ru(u8" из"));
  ui::SetItemText(window_, IDC_DUMP_DONE_SIZE, std::to_string(p.doneBytes / 1024) + sv::Ru(u8" из"));
  const int percent = dump::ProgressPercent(p.doneBytes, p.totalBytes);
  SendDlgItemMessageW(window_, IDC_DUMP_PROGRESS, PBM_SETPOS, percent, 0);
  ui::SetItemText(window_, IDC_DUMP_PERCENT, std::to_string(percent) + "%");
  if (!p.currentFile.empty()) ui::SetText(status_, sv::Ru(u8" Архивируем ") + p.currentFile);
}

void DumpForm::OnTimer() {
  const bool ended = !worker_ || worker_.Wait(0);
  ShowCounters(phase_ == Phase::kPacking);
  if (!ended) return;
  WaitWorker();
  if (phase_ == Phase::kListing) ListingEnded();
  else if (phase_ == Phase::kPacking) PackingEnded();
}

void DumpForm::ListingEnded() {
  const bool listed = phaseResult_ == dump::kPhaseOk;
  listFile_.Reset();
  sv::Handle check(CreateFileW(sv::Wide(listPath_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!listed || !check) {
    KillTimer(window_, kCounterTimer);
    phase_ = Phase::kIdle;
    Fail(CannotText() + sv::Ru(u8"Невозможно открыть файл ") + "\"" + TempFolder() + dump::kListFileName + "\"!");
    EnableInputs(true);
    return;
  }
  check.Reset();
  CreateDirectoryW(sv::Wide(work_.ScratchFolder()).c_str(), nullptr);
  phase_ = Phase::kPacking;
  StartWorker(PackBody);
}

void DumpForm::PackingEnded() {
  KillTimer(window_, kCounterTimer);
  phase_ = Phase::kIdle;
  RemoveScratch();
  ShowCounters(true);
  const std::string base = work_.BaseName();
  const std::string exe = base + dump::kExtractorExtension;
  if (phaseResult_ == 0 && !work_.Cancelled() &&
      CopyFileW(sv::Wide(sv::ProgramFolder() + dump::kExtractorFile).c_str(), sv::Wide(exe).c_str(), FALSE)) {
    succeeded_ = true;
    ui::MessageBox1251(window_,
                       sv::Ru(u8"Резервную копию программы сделано!\rНеобходимые файлы для распаковки:\r - ") + exe +
                           "\r - " + base + dump::kArchiveExtension,
                       Caption(), MB_ICONINFORMATION | MB_TOPMOST);
    OnCommand(IDC_DUMP_CLOSE);
    return;
  }
  DeleteFileW(sv::Wide(work_.ArchivePath()).c_str());
  Fail(CannotText() + sv::Ru(u8"Произошла ошибка при копировании! (Возможно недостаточно места на диске)"));
  EnableInputs(true);
}

void DumpForm::RemoveScratch() {
  if (!work_.BaseName().empty()) sv::RemoveFolderTree(work_.ScratchFolder());
}

}  // namespace dialogs
