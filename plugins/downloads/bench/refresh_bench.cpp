// Timing program (not a test): processor time of one refresh of the downloads
// window with 1000 jobs. It writes the jobs, starts the manager, opens the
// window on a frame of its own and sends it refresh timer ticks, measuring
// the time of the thread that runs the window (the manager's own thread is
// not counted). Budget: under 20 ms per refresh. Measured under Wine on the
// emulated build machine: about 1 ms when the list is unchanged (no repaint),
// about 12 ms when every row is made again and painted. With a PNG path as
// argument it also takes a picture of the display.
#include <windows.h>

#include <cstdio>

#include "SolvikaDNM.h"
#include "dnm_test_support.h"
#include "job_record.h"
#include "main_form_ids.h"
#include "sv_abi.h"
#include "ui_kit.h"

namespace {

constexpr uint32_t kJobs = 1000;
constexpr int kRefreshes = 50;
constexpr UINT_PTR kRefreshTimer = 1;  // the window's refresh timer id

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  static HWND client = nullptr;
  if (message == WM_CREATE) {
    CLIENTCREATESTRUCT create = {};
    client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 800, 600, window, nullptr,
                             GetModuleHandleW(nullptr), &create);
    return 0;
  }
  return DefFrameProcW(window, client, message, wparam, lparam);
}

double ThreadMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ticks = [](FILETIME t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return (ticks(kernel) + ticks(user)) / 10000.0;
}

}  // namespace

int main(int argc, char** argv) {
  dnmtest::ResetJobFolder();
  for (uint32_t i = 1; i <= kJobs; ++i) {
    svdnm::JobRecord job;
    job.code = 0x1000 + i;
    job.pos = i;
    job.status = static_cast<uint8_t>(i % 13 == 4 ? 5 : i % 13);  // every status but a live transfer
    job.title = "file" + std::to_string(i) + ".zip";
    job.totalLength = 1000000 + i;
    job.doneLength = i * 500;
    dnmtest::WriteJob(job);
  }
  SolvikaDNMStart();

  WNDCLASSW wc = {};
  wc.lpfnWndProc = FrameProcedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TSolvikaMainForm";
  RegisterClassW(&wc);
  HWND frame = CreateWindowExW(0, L"TSolvikaMainForm", L"Solvika", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 600,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HMODULE plugin = LoadLibraryW(L"FetchKeeper.svx");
  auto run = plugin ? reinterpret_cast<HWND(SVAPI*)(const char*, HWND)>(GetProcAddress(plugin, "RunPlugin")) : nullptr;
  HWND form = run ? run("FetchKeeper", nullptr) : nullptr;
  if (!form) {
    std::printf("the downloads window did not open\n");
    return 1;
  }
  SendMessageW(form, WM_TIMER, kRefreshTimer, 0);  // the first refresh fills the rows
  double start = ThreadMs();
  for (int i = 0; i < kRefreshes; ++i) {
    SendMessageW(form, WM_TIMER, kRefreshTimer, 0);
    UpdateWindow(form);  // the list paints its visible rows too
  }
  double perRefresh = (ThreadMs() - start) / kRefreshes;
  // Ticks where the list changed (one job moved each time): every row is
  // made again and the visible ones painted.
  start = ThreadMs();
  for (int i = 0; i < kRefreshes; ++i) {
    SVDNMSetParams(SVDNM_SET_LATER, 0x1001);
    SendMessageW(form, WM_TIMER, kRefreshTimer, 0);
    UpdateWindow(form);
  }
  double perChangedRefresh = (ThreadMs() - start) / kRefreshes;
  if (argc > 1) {
    SendMessageW(GetParent(form), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(form), 0);
    SetWindowTextW(GetDlgItem(form, IDC_MAINFORM_ERRORS), L"12:00:01 Test error message\r\n12:00:00 Older message");
    UpdateWindow(frame);
    uikit::CaptureScreen(argv[1]);
  }
  // The same without painting: the rows, texts and buttons alone.
  start = ThreadMs();
  for (int i = 0; i < kRefreshes; ++i) SendMessageW(form, WM_TIMER, kRefreshTimer, 0);
  double perRefreshUnpainted = (ThreadMs() - start) / kRefreshes;
  UpdateWindow(form);
  // The share of the manager's own job list export in it.
  start = ThreadMs();
  for (int i = 0; i < kRefreshes; ++i) {
    SvStr list = nullptr;
    SVDNMImportJobsList(&list);
    sv::Release(list);
  }
  double perList = (ThreadMs() - start) / kRefreshes;
  std::printf("jobs %u, refreshes %d, processor time per refresh %.2f ms (budget 20 ms), of which the manager's "
              "job list %.2f ms; without painting %.2f ms; with a changed list each time %.2f ms\n",
              kJobs, kRefreshes, perRefresh, perList, perRefreshUnpainted, perChangedRefresh);
  DestroyWindow(form);
  FreeLibrary(plugin);
  DestroyWindow(frame);
  SolvikaDNMStop();
  dnmtest::ResetJobFolder();
  return 0;
}
