// The catalogue window "Мастер обновлений" (class TPatchKeeperForm), an MDI
// child of the shell's main window: the plugins the maker's server offers,
// grouped by directories, with their versions, dates and statuses in a
// virtual list, the selected plugin's description, and the action that
// installs, updates or explains it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "catalogue_job.h"
#include "catalogue_model.h"
#include "virtual_list.h"
#include "win_handles.h"
#include "window.h"

namespace patchkeeper {

constexpr wchar_t kCatalogueClass[] = L"TPatchKeeperForm";

class CatalogueForm : public ui::Window {
 public:
  // Creates the window on `mdiClient` and starts the first refresh; the
  // object deletes itself with its window. It becomes the current catalogue.
  static HWND Open(HWND mdiClient, HWND application);
  // The catalogue of `window` when that is one, else the current one (null
  // when there is none).
  static CatalogueForm* Resolve(HWND window);

  // Loads the list again from the server, unless a load runs.
  void Refresh();
  // Installs the plugin `key`: at once when no load runs, else right after it.
  void Download(const std::string& key);

 private:
  explicit CatalogueForm(HWND application) : application_(application) {}
  ~CatalogueForm() override;

  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  LRESULT DefaultProcedure(UINT message, WPARAM wparam, LPARAM lparam) override {
    return DefMDIChildProcW(Handle(), message, wparam, lparam);
  }
  void OnFinalMessage() override { delete this; }

  void OnCreate();
  void Layout();
  HWND AddToolButton(int id, int hintId, int picture);
  void OnCommand(int id);
  bool OnNotify(const NMHDR* header, LRESULT* result);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
  std::string CellText(int row, int column) const;
  int RowImage(int row);

  void SetLoading(bool loading);
  void OnQueryDone();
  void Reload(const std::string& reply);
  void HandlePending();

  int SelectedRow() const;
  void SelectRow(int row);
  void ShowSelection(int row);
  void OpenMenuAtRow(int row, POINT at);
  void OpenMenuFromKeyboard();
  void RunAction();
  void Install(const sv::catalogue::Entry& plugin);
  HWND Owner() const;

  HWND application_;
  std::unique_ptr<CatalogueJob> job_;
  std::vector<sv::catalogue::Entry> entries_;
  std::string pendingKey_;
  bool refreshEnabled_ = true;
  bool actionEnabled_ = false;
  std::wstring actionCaption_;
  ui::VirtualList list_;
  HWND picture_ = nullptr, caption_ = nullptr, refresh_ = nullptr, close_ = nullptr;
  HWND memo_ = nullptr, action_ = nullptr, tooltip_ = nullptr;
  HIMAGELIST pictures_ = nullptr;
  sv::Icon headerIcon_, refreshIcon_, closeIcon_;
  sv::GdiObject<HFONT> normalFont_, directoryFont_, captionFont_;
};

}  // namespace patchkeeper
