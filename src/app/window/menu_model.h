#pragma once
// The main window's menus as plain data: their items in order, and the rules that say
// which items show, which are enabled or checked and what dynamic captions read. The Qt
// window builds its menus from this and asks for the states each time a menu opens.

#include <functional>
#include <string>
#include <vector>

#include "settings/options.h"

namespace yl {

enum class MenuItemKind { kCommand, kCheck, kSeparator, kSubmenu, kRecentFiles };

struct MenuItemSpec {
  MenuItemKind kind = MenuItemKind::kCommand;
  std::string caption;  // with its "&" accelerator
  std::string key;      // stable name: the menu path of captions without "&", " > " between
  bool developer_only = false;
  std::vector<MenuItemSpec> items;  // a submenu's
};

struct MenuSpec {
  std::string caption;
  std::string key;
  std::vector<MenuItemSpec> items;
};

// The menu bar, left to right.
const std::vector<MenuSpec>& MainMenus();
// Every command item's key, submenus' items included.
std::vector<std::string> AllCommandKeys();
// The caption without "&" accelerators and trailing blanks.
std::string PlainCaption(const std::string& caption);

// What the rules look at besides the options.
struct MenuContext {
  bool job_running = false;
  bool model_chosen = false;
  bool model_file_exists = false;
  bool last_error_log_exists = false;
  bool tab_file_known = false;
  bool sti_file_known = false;
  bool re_available = true;
  bool use_patterns = true;
  bool update_options_at_exit = true;
};

struct MenuEntryState {
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  std::string caption;  // with "&"
  std::string tooltip;
};

inline constexpr char kNotAvailableYet[] = "not available yet";

// The state of the item with this key. `available` says whether a command carries it;
// one that does not is shown disabled with the tooltip "not available yet".
MenuEntryState StateOfItem(const MenuItemSpec& item, const MenuContext& w, const Options& o,
                           bool available);
// The item with this key, or null.
const MenuItemSpec* FindMenuItem(const std::string& key);

}  // namespace yl
