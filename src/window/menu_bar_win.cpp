#include "window/menu_bar_win.h"

#include <utility>

namespace zelmor::window {

namespace {

constexpr UINT kItemParts = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;

}  // namespace

bool MenuBarItems::ReadItem(UINT place, Item& item) const {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = kItemParts;
  if (!GetMenuItemInfoW(bar_, place, TRUE, &info)) return false;
  std::wstring caption;
  if (info.cch > 0) {
    caption.resize(info.cch + 1);
    info.dwTypeData = caption.data();
    info.cch += 1;
    if (!GetMenuItemInfoW(bar_, place, TRUE, &info)) return false;
    caption.resize(info.cch);
  }
  item.type = info.fType;
  item.state = info.fState;
  item.id = info.wID;
  item.popup = info.hSubMenu;
  item.caption = std::move(caption);
  return true;
}

MenuBarItems::MenuBarItems(HWND window) : window_(window), bar_(GetMenu(window)) {
  const int count = bar_ ? GetMenuItemCount(bar_) : 0;
  for (int position = 0; position < count; ++position) {
    Item item;
    ReadItem(static_cast<UINT>(position), item);
    items_.push_back(std::move(item));
  }
}

HMENU MenuBarItems::Popup(int position) const {
  return position >= 0 && position < count() ? items_[static_cast<size_t>(position)].popup : nullptr;
}

bool MenuBarItems::ShowTopLevelItem(int position, bool shown) {
  if (position < 0 || position >= count()) return false;
  Item& item = items_[static_cast<size_t>(position)];
  if (item.shown == shown) return true;
  // Where the item stands on the bar now: after the shown items that come before it.
  UINT place = 0;
  for (int i = 0; i < position; ++i) {
    if (items_[static_cast<size_t>(i)].shown) ++place;
  }
  bool done;
  if (shown) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = kItemParts;
    info.fType = item.type;
    info.fState = item.state;
    info.wID = item.id;
    info.hSubMenu = item.popup;
    info.dwTypeData = item.caption.data();
    done = InsertMenuItemW(bar_, place, TRUE, &info) != FALSE;
  } else {
    // Taken as it stands now, so that it comes back the same. RemoveMenu, not DeleteMenu: the
    // submenu survives off the bar.
    ReadItem(place, item);
    done = RemoveMenu(bar_, place, MF_BYPOSITION) != FALSE;
  }
  if (!done) return false;
  if (shown) {
    item.held.release();
  } else {
    item.held.reset(item.popup);
  }
  item.shown = shown;
  DrawMenuBar(window_);
  return true;
}

}  // namespace zelmor::window
