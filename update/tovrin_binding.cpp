#include "tovrin_binding.h"

#include <string>

#include "app.h"
#include "message_box.h"
#include "wide.h"

namespace update {

namespace {

constexpr char kLibraryName[] = "TovrinNet.dll";

constexpr const char* kNames[] = {
    "CreateHttpQuery", "DeleteHttpQuery", "SetHttpQueryProp", "SetHttpQueryHost", "RunHttpQuery",
    "isHttpQueryDone", "isHttpQueryCorrect", "GetHttpQueryResult",
    "CreateHttpSize", "DeleteHttpSize", "SetHttpSizeProp", "SetHttpSizeHost", "RunHttpSize",
    "isHttpSizeDone", "isHttpSizeCorrect", "GetHttpSizeResult",
    "CreateDownload", "DeleteDownload", "SetDownloadProp", "SetDownloadHost", "RunDownload",
    "isDownloadDone", "isDownloadCorrect", "GetDownloadResult",
};
static_assert(sizeof(kNames) / sizeof(kNames[0]) == size_t(TovrinFunction::Count), "one name per function");

HMODULE g_library = nullptr;
FARPROC g_addresses[size_t(TovrinFunction::Count)] = {};

void ShowBindingError(const std::string& text) {
  ui::MessageBox1251(ui::ApplicationWindow(), text, "", MB_OK | MB_ICONERROR);
}

std::string MissingEntryText(const char* name) {
  const std::string quote = "\"";
  return sv::Ru(u8"Не найдена точка входа в функцию ") + quote + name + quote + sv::Ru(u8" в модуле ") + quote +
         kLibraryName + quote + "\r" + sv::Ru(u8"Возможно у Вас установленна старая версия программы ") + quote +
         ui::ApplicationTitle() + quote + "\r" + sv::Ru(u8"  которая не поддержывает эту функцию") + "\r" +
         sv::Ru(u8"Попробуйте обновить программу!");
}

}  // namespace

FARPROC BindTovrin(TovrinFunction function) {
  const size_t index = size_t(function);
  if (index >= size_t(TovrinFunction::Count)) return nullptr;
  if (g_addresses[index]) return g_addresses[index];
  if (!g_library) {
    g_library = LoadLibraryA(kLibraryName);
    if (!g_library) {
      ShowBindingError(sv::Ru(u8"Не найден модуль TovrinNet.dll"));
      return nullptr;
    }
  }
  FARPROC address = GetProcAddress(g_library, kNames[index]);
  if (!address) {
    ShowBindingError(MissingEntryText(kNames[index]));
    return nullptr;
  }
  g_addresses[index] = address;
  return address;
}

}  // namespace update
