#include "main_menu.h"

#include "menu_images.h"
#include "shortcut.h"
#include "wide.h"
#include "sv_shell.h"

namespace shell {

namespace {

constexpr UINT kSeparator = 0;
// Window codes of the dialogs library and codes of the command dispatcher.
constexpr LPARAM kWindowOptions = 1, kWindowAccess = 2, kWindowLetter = 100, kWindowPaySupport = 101,
                 kWindowAbout = 1000, kWindowWhereToGet = 1001, kWindowBackup = 1;

}  // namespace

PostedCommand PostedCommandOf(UINT id) {
  auto post = [](WPARAM command, LPARAM argument) { return PostedCommand{true, command, argument}; };
  switch (id) {
    case kMenuCloseActive: return post(SVSHELL_CLOSE_ACTIVE_PLUGIN, 0);
    case kMenuCheckUpdates: return post(SVSHELL_RUN_COMMAND, 10);
    case kMenuDownloads: return post(SVSHELL_RUN_COMMAND, 20);
    case kMenuSettings: return post(SVSHELL_MODAL_WINDOW, kWindowOptions);
    case kMenuAccess: return post(SVSHELL_MODAL_WINDOW, kWindowAccess);
    case kMenuBackup: return post(SVSHELL_TOGGLE_WINDOW, kWindowBackup);
    case kMenuPayInfo: return post(SVSHELL_RUN_COMMAND, 32);
    case kMenuPay: return post(SVSHELL_RUN_COMMAND, 31);
    case kMenuPayHistory: return post(SVSHELL_RUN_COMMAND, 33);
    case kMenuPayManage: return post(SVSHELL_RUN_COMMAND, 34);
    case kMenuFriends: return post(SVSHELL_RUN_COMMAND, 35);
    case kMenuShare: return post(SVSHELL_RUN_COMMAND, 36);
    case kMenuAgents: return post(SVSHELL_RUN_COMMAND, 37);
    case kMenuPartners: return post(SVSHELL_RUN_COMMAND, 38);
    case kMenuPaySupport: return post(SVSHELL_MODAL_WINDOW, kWindowPaySupport);
    case kMenuLetter: return post(SVSHELL_MODAL_WINDOW, kWindowLetter);
    case kMenuAbout: return post(SVSHELL_MODAL_WINDOW, kWindowAbout);
    case kMenuWhereToGet: return post(SVSHELL_MODAL_WINDOW, kWindowWhereToGet);
    default: return PostedCommand{};
  }
}

const std::vector<TopMenuSpec>& MainMenuSpec() {
  static const std::vector<TopMenuSpec> spec = {
      {"Solvika    ",
       {{kMenuToggleContents, u8"Содержание программы   ", kImageContents, "Ctrl+Space"},
        {kMenuHide, u8"Скрыть    ", kImageHide, "Alt+F4"},
        {kMenuExit, u8"Выход ", kImageExit, "Ctrl+Alt+F4"}}},
      {u8"Содержание    ", {}},
      {u8"Вид    ",
       {{kMenuMaximizePlugin, u8"Развернуть плагины    ", kImageMaximise, "Ctrl+1"},
        {kMenuCascade, u8"Плагины каскадом", kImageCascade, "Ctrl+2"},
        {kMenuTile, u8"Плагины секциями", kImageTile, "Ctrl+3"},
        {kSeparator, nullptr, kNoImage, nullptr},  // the skins submenu goes before this
        {kMenuToggleSearch, u8"Поиск в Google ", kImageSearch, nullptr}}},
      {u8"Операции    ",
       {{kMenuCloseActive, u8"Закрыть активный плагин    ", kImageClosePlugin, "Ctrl+F4"},
        {kMenuCloseAll, u8"Закрыть все плагины ", kImageClosePlugin, "Ctrl+F8"}}},
      {u8"Обновления    ", {{kMenuCheckUpdates, u8"Проверить обновления     ", kImageUpdates, "F5"}}},
      {u8"Опции    ",
       {{kMenuDownloads, u8"Мастер закачек", kImageDownloads, nullptr},
        {kMenuSettings, u8"Настройки", kImageSettings, "Ctrl+F9"},
        {kMenuAccess, u8"Ограничение доступа     ", kImageAccess, "Ctrl+F2"},
        {kSeparator, nullptr, kNoImage, nullptr},
        {kMenuBackup, u8"Сделать резервную копию программы       ", kImageBackup, "Ctrl+F12"}}},
      {u8"Абонплата    ",
       {{kMenuPayInfo, u8"Дополнительная информация...", kImageInfo, nullptr},
        {kMenuPay, u8"Оплатить...", kImagePay, nullptr},
        {kMenuPayHistory, u8"История оплат...", kNoImage, nullptr},
        {kMenuPayManage, u8"Управление абонементом...", kNoImage, nullptr},
        {kMenuFriends, u8"Программа \"Друзья\"", kNoImage, nullptr},
        {kMenuShare, u8"Программа \"Шара\"", kNoImage, nullptr},
        {kMenuAgents, u8"Представители Solvika...", kNoImage, nullptr},
        {kMenuPartners, u8"Партнерская программа...", kNoImage, nullptr},
        {kMenuPaySupport, u8"Служба поддержки абонплаты    ", kImageLetter, nullptr}}},
      {u8"Помощь    ",
       {{kMenuHomePage, u8"Страница программы Solvika ", kImageHomePage, nullptr},
        {kMenuForum, u8"Форум (вопросы/ответы пользователей)    ", kImageInfo, nullptr},
        {kMenuLetter, u8"Написать письмо разработчикам    ", kImageLetter, nullptr},
        {kMenuErrorReport, u8"Ошибка в программе!..    ", kNoImage, nullptr},
        {kMenuAbout, u8"О программе...    ", kNoImage, nullptr},
        {kMenuWhereToGet, u8"Где скачать?    ", kNoImage, nullptr}}},
  };
  return spec;
}

MainMenus BuildMainMenu(OwnerDrawnMenus& items, bool backupAvailable) {
  MainMenus menus;
  menus.bar.Reset(CreateMenu());
  for (const TopMenuSpec& top : MainMenuSpec()) {
    HMENU popup = CreatePopupMenu();
    AppendMenuW(menus.bar.Get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                sv::Wide(sv::Ru(top.captionUtf8)).c_str());
    bool isView = false;
    for (const MenuItemSpec& item : top.items) {
      if (item.id == kMenuMaximizePlugin) isView = true;
      if (item.id == kSeparator) {
        if (isView) menus.skins = items.AddSubmenu(popup, sv::Ru(u8"Скины"), kImageSkins);
        // The backup item and its separator exist only with the backup library.
        if (!isView && !backupAvailable) break;
        items.AddSeparator(popup);
        continue;
      }
      if (item.id == kMenuBackup && !backupAvailable) continue;
      items.AddItem(popup, item.id, sv::Ru(item.captionUtf8), item.shortcut, item.image);
    }
    if (isView) menus.view = popup;
    if (top.items.empty()) menus.contents = popup;
  }
  return menus;
}

sv::Menu BuildTrayMenu(OwnerDrawnMenus& items) {
  sv::Menu bar(CreatePopupMenu());
  HMENU popup = CreatePopupMenu();
  AppendMenuW(bar.Get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), L"Tray");
  items.AddItem(popup, kMenuTrayOpen, sv::Ru(u8"Открыть"), nullptr, kImageOpen);
  items.AddItem(popup, kMenuTrayHide, sv::Ru(u8"Скрыть"), nullptr, kImageHide);
  items.AddSeparator(popup);
  items.AddItem(popup, kMenuTrayExit, sv::Ru(u8"Выход"), nullptr, kImageExit);
  SetMenuDefaultItem(popup, kMenuTrayOpen, FALSE);
  return bar;
}

HACCEL BuildAccelerators() {
  std::vector<ACCEL> keys;
  for (const TopMenuSpec& top : MainMenuSpec()) {
    for (const MenuItemSpec& item : top.items) {
      if (!item.shortcut) continue;
      Shortcut s = ParseShortcut(item.shortcut);
      if (!s.valid) continue;
      ACCEL a = {};
      a.fVirt = FVIRTKEY | (s.ctrl ? FCONTROL : 0) | (s.alt ? FALT : 0) | (s.shift ? FSHIFT : 0);
      a.key = s.virtualKey;
      a.cmd = static_cast<WORD>(item.id);
      keys.push_back(a);
    }
  }
  return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

}  // namespace shell
