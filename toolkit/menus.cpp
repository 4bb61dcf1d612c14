// Menus of the current window: the menu bar, drop-down menus and items whose handlers run on
// threads of their own.

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "toolkit/window_widgets.h"

namespace brx::toolkit::detail {

QKeySequence keys_from_text(const char* keys) {
  if (keys == nullptr || *keys == '\0') return {};
  const QKeySequence sequence =
      QKeySequence::fromString(QString::fromLatin1(keys), QKeySequence::PortableText);
  for (int i = 0; i < sequence.count(); ++i) {
    if (sequence[i].key() == Qt::Key_unknown) return {};
  }
  return sequence;
}

}  // namespace brx::toolkit::detail

namespace brx::toolkit {

using namespace detail;

namespace {
constexpr int kMenuFailure = -2;

bool has_text(const char* s) {
  return s != nullptr && *s != '\0';
}
}  // namespace

int addmenu(const char* name, int parent) {
  WindowPtr w = current_window();
  if (!w) return kMenuFailure;
  const bool named = has_text(name);
  const QString title = from_program_text(name);
  int result = kMenuFailure;
  run_on_gui([&] {
    if (w->frame == nullptr) return;
    if (parent == -1) {
      if (w->menubar != nullptr) return;
      w->menubar = w->frame->add_menu_bar();
      w->menus.push_back(w->menubar);
    } else {
      if (!named || parent < 0 || static_cast<std::size_t>(parent) >= w->menus.size()) return;
      QWidget* owner = w->menus[static_cast<std::size_t>(parent)];
      QMenu* menu = nullptr;
      if (auto* bar = qobject_cast<QMenuBar*>(owner)) {
        menu = bar->addMenu(title);
      } else {
        menu = static_cast<QMenu*>(owner)->addMenu(title);
      }
      w->menus.push_back(menu);
    }
    result = static_cast<int>(w->menus.size()) - 1;
  });
  return result;
}

int addmenuitem(const char* name, int menu, Callback handler) {
  const bool named = has_text(name);
  if (named && !handler) return kMenuFailure;
  WindowPtr w = current_window();
  if (!w) return kMenuFailure;
  const QString text = from_program_text(name);
  int result = kMenuFailure;
  run_on_gui([&] {
    if (menu < 0 || static_cast<std::size_t>(menu) >= w->menus.size()) return;
    QWidget* owner = w->menus[static_cast<std::size_t>(menu)];
    auto* bar = qobject_cast<QMenuBar*>(owner);
    auto* drop = qobject_cast<QMenu*>(owner);
    const int item = static_cast<int>(w->items.size());
    QAction* action = nullptr;
    if (named) {
      action = bar != nullptr ? bar->addAction(text) : drop->addAction(text);
      std::weak_ptr<Window> weak = w;
      QObject::connect(action, &QAction::triggered, [weak, item] {
        WindowPtr win = weak.lock();
        if (!win || static_cast<std::size_t>(item) >= win->item_handlers.size()) return;
        start_callback(win, item, win->item_handlers[static_cast<std::size_t>(item)]);
      });
      w->item_handlers.push_back(std::move(handler));
    } else {
      action = bar != nullptr ? bar->addSeparator() : drop->addSeparator();
      w->item_handlers.push_back(nullptr);
    }
    w->items.push_back(action);
    result = item;
  });
  return result;
}

int addmenuseparator(int menu) {
  return addmenuitem(nullptr, menu, nullptr);
}

void enablemenuitem(int item, bool enabled) {
  WindowPtr w = current_window();
  if (!w) return;
  run_on_gui([&] {
    if (item < 0 || static_cast<std::size_t>(item) >= w->items.size()) return;
    w->items[static_cast<std::size_t>(item)]->setEnabled(enabled);
  });
}

void enablemenu(int menu, bool enabled) {
  WindowPtr w = current_window();
  if (!w) return;
  run_on_gui([&] {
    if (menu < 0 || static_cast<std::size_t>(menu) >= w->menus.size()) return;
    QWidget* owner = w->menus[static_cast<std::size_t>(menu)];
    if (auto* drop = qobject_cast<QMenu*>(owner)) {
      drop->menuAction()->setEnabled(enabled);
    } else {
      owner->setEnabled(enabled);
    }
  });
}

int setmenuitemshortcut(int item, const char* keys) {
  const QKeySequence sequence = keys_from_text(keys);
  if (has_text(keys) && sequence.isEmpty()) return 0;
  WindowPtr w = current_window();
  if (!w) return 0;
  int result = 0;
  run_on_gui([&] {
    if (item < 0 || static_cast<std::size_t>(item) >= w->items.size()) return;
    QAction* action = w->items[static_cast<std::size_t>(item)];
    if (action->isSeparator()) return;
    action->setShortcut(sequence);
    result = 1;
  });
  return result;
}

}  // namespace brx::toolkit
