// The widgets of a toolkit window: the top-level frame (title bar, menu bar) and the canvas that
// shows the visual page and carries the child controls. Event-loop thread only.
#pragma once

#include <QWidget>

#include "toolkit/window_record.h"

class QVBoxLayout;

namespace brx::toolkit::detail {

// Shows the window's visual page; child controls are placed on it in page coordinates.
class Canvas : public QWidget {
 public:
  Canvas(WindowPtr window, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  WindowPtr window_;
};

class Frame : public QWidget {
 public:
  explicit Frame(WindowPtr window);
  Canvas* canvas() const { return canvas_; }
  // Adds the menu bar above the canvas; the canvas keeps its size and the frame grows.
  QMenuBar* add_menu_bar();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  WindowPtr window_;
  QVBoxLayout* layout_;
  Canvas* canvas_;
};

}  // namespace brx::toolkit::detail
