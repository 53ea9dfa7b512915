#pragma once
// Top-level items of a window's menu bar that come and go. Win32 cannot hide a menu-bar item, so
// a hidden item is one taken off the bar; it is kept here, submenu and all, and put back at its own
// place among the items that are shown.

#include <windows.h>

#include <string>
#include <vector>

#include "base/handles_win.h"

namespace zelmor::window {

class MenuBarItems {
 public:
  // Notes every item of `window`'s menu bar as it stands now: create it before anything is taken
  // off. Positions below are places on that full bar (the order of the resource script).
  explicit MenuBarItems(HWND window);
  // Submenus that are off the bar at this time belong to no window and go with their items.
  MenuBarItems(const MenuBarItems&) = delete;
  MenuBarItems& operator=(const MenuBarItems&) = delete;

  // Takes the item off the bar or puts it back, and redraws the bar. False for an unknown
  // position or when the menu refused; showing a shown item or hiding a hidden one does nothing.
  bool ShowTopLevelItem(int position, bool shown);
  // The item's submenu, also while the item is off the bar; null for a plain item.
  HMENU Popup(int position) const;
  HMENU bar() const { return bar_; }
  int count() const { return static_cast<int>(items_.size()); }

 private:
  struct Item {
    UINT type = 0;
    UINT state = 0;
    UINT id = 0;
    HMENU popup = nullptr;
    // The submenu while the item is off the bar: then no window owns it. Released when it is put
    // back, since the bar owns it again.
    base::UniqueMenu held;
    std::wstring caption;
    bool shown = true;
  };

  bool ReadItem(UINT place, Item& item) const;

  HWND window_;
  HMENU bar_;
  std::vector<Item> items_;
};

}  // namespace zelmor::window
