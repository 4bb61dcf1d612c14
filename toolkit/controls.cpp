// Child controls of the current window: push buttons, check boxes and text boxes. Every
// operation is carried out on the event-loop thread; the caller waits for it.
//
// Multi-line text boxes hand their lines back separated by CR LF, the line end of the reports
// and text files they show; CR LF, LF and CR given to them all start a new line. Positions and
// lengths count bytes of the current text encoding, a line end as two.

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <cstring>

#include "toolkit/window_widgets.h"

namespace brx::toolkit::detail {
namespace {

// Text box limit growth: room for the text plus this much, as the text grows.
constexpr int kLimitSlack = 256;

Control* find_control(Window& w, int id) {
  if (id < 0 || static_cast<std::size_t>(id) >= w.controls.size()) return nullptr;
  Control& c = w.controls[static_cast<std::size_t>(id)];
  return c.widget.isNull() ? nullptr : &c;
}

bool is_text_box(const Control& c) {
  return c.kind == ControlKind::TextBox || c.kind == ControlKind::MultiLineTextBox;
}

bool is_button(const Control& c) {
  return c.kind == ControlKind::Button || c.kind == ControlKind::CheckBox;
}

QString as_lines(const char* text) {
  QString t = from_program_text(text);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

// The text of a text box with CR LF line ends.
QString box_text(const Control& c) {
  if (c.kind == ControlKind::TextBox) return static_cast<QLineEdit*>(c.widget.data())->text();
  QString t = static_cast<QPlainTextEdit*>(c.widget.data())->toPlainText();
  t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return t;
}

// Character index in the widget's text (LF line ends) of a byte position in the program's
// form of the text (CR LF line ends).
int widget_position(const QString& text, int position) {
  int bytes = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (bytes >= position) return static_cast<int>(i);
    const QChar c = text[i];
    if (c == QLatin1Char('\n')) {
      bytes += 2;
    } else if (ansi_text()) {
      bytes += 1;
    } else if (c.isHighSurrogate()) {
      bytes += 4;
      ++i;
    } else {
      bytes += c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
    }
  }
  return static_cast<int>(text.size());
}

// Runs `work` on the event-loop thread with the control `id` of the current window.
template <typename Work>
bool with_control(int id, Work&& work) {
  WindowPtr w = current_window();
  if (!w) return false;
  bool found = false;
  run_on_gui([&] {
    if (Control* c = find_control(*w, id)) {
      found = true;
      work(*c);
    }
  });
  return found;
}

int create_control(ControlKind kind, int left, int top, int width, int height, const char* text,
                   Callback handler, bool wrap) {
  WindowPtr w = current_window();
  if (!w) return -1;
  const QString label = from_program_text(text);
  int justify;
  {
    std::lock_guard lock(w->draw_mutex);
    justify = w->ds.hjust;
  }
  int id = -1;
  run_on_gui([&] {
    if (w->canvas == nullptr) return;
    QWidget* widget = nullptr;
    switch (kind) {
      case ControlKind::Button:
        widget = new QPushButton(label, w->canvas);
        break;
      case ControlKind::CheckBox:
        widget = new QCheckBox(label, w->canvas);
        break;
      case ControlKind::TextBox: {
        auto* edit = new QLineEdit(w->canvas);
        const Qt::Alignment align[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        edit->setAlignment(align[justify] | Qt::AlignVCenter);
        widget = edit;
        break;
      }
      case ControlKind::MultiLineTextBox: {
        auto* edit = new QPlainTextEdit(w->canvas);
        edit->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
        widget = edit;
        break;
      }
    }
    widget->setGeometry(left, top, width, height);
    widget->setFont(control_font());
    widget->show();
    // The first free identifier, else a new one at the end.
    std::size_t slot = 0;
    while (slot < w->controls.size() && !w->controls[slot].widget.isNull()) ++slot;
    if (slot == w->controls.size()) w->controls.emplace_back();
    w->controls[slot] = Control{kind, widget, std::move(handler)};
    id = static_cast<int>(slot);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      // clicked() comes from the user only, never from setChecked().
      std::weak_ptr<Window> weak = w;
      QObject::connect(button, &QAbstractButton::clicked, [weak, id] {
        WindowPtr win = weak.lock();
        if (!win) return;
        if (Control* c = find_control(*win, id)) start_callback(win, id, c->handler);
      });
    }
  });
  return id;
}

}  // namespace
}  // namespace brx::toolkit::detail

namespace brx::toolkit {

using namespace detail;

int createbutton(int left, int top, int width, int height, const char* text, Callback handler) {
  return create_control(ControlKind::Button, left, top, width, height, text, std::move(handler),
                        false);
}

int createcheckbox(int left, int top, int width, int height, const char* text, Callback handler) {
  return create_control(ControlKind::CheckBox, left, top, width, height, text, std::move(handler),
                        false);
}

int createtextbox(int left, int top, int width, int height) {
  return create_control(ControlKind::TextBox, left, top, width, height, nullptr, nullptr, false);
}

int createmultilinetextbox(int left, int top, int width, int height, bool wrap) {
  return create_control(ControlKind::MultiLineTextBox, left, top, width, height, nullptr, nullptr,
                        wrap);
}

void enablebutton(int id, bool enabled) {
  with_control(id, [&](Control& c) {
    if (is_button(c)) c.widget->setEnabled(enabled);
  });
}

void enabletextbox(int id, bool enabled) {
  with_control(id, [&](Control& c) {
    if (is_text_box(c)) c.widget->setEnabled(enabled);
  });
}

void setbuttonvisible(int id, bool visible) {
  with_control(id, [&](Control& c) { c.widget->setVisible(visible); });
}

int checkboxischecked(int id) {
  int checked = 0;
  with_control(id, [&](Control& c) {
    if (c.kind == ControlKind::CheckBox) {
      checked = static_cast<QCheckBox*>(c.widget.data())->isChecked() ? 1 : 0;
    }
  });
  return checked;
}

void checkboxsetchecked(int id, bool checked) {
  with_control(id, [&](Control& c) {
    if (c.kind == ControlKind::CheckBox)
      static_cast<QCheckBox*>(c.widget.data())->setChecked(checked);
  });
}

void settextboxcontents(int id, const char* text) {
  const QString t = as_lines(text);
  with_control(id, [&](Control& c) {
    if (c.kind == ControlKind::TextBox) {
      auto* edit = static_cast<QLineEdit*>(c.widget.data());
      if (edit->maxLength() < t.size())
        edit->setMaxLength(static_cast<int>(t.size()) + kLimitSlack);
      edit->setText(t);
    } else if (c.kind == ControlKind::MultiLineTextBox) {
      static_cast<QPlainTextEdit*>(c.widget.data())->setPlainText(t);
    }
  });
}

int gettextboxlength(int id) {
  int length = -1;
  with_control(id, [&](Control& c) {
    if (is_text_box(c)) length = static_cast<int>(to_program_text(box_text(c)).size());
  });
  return length;
}

std::string gettextboxcontents(int id) {
  std::string text;
  with_control(id, [&](Control& c) {
    if (is_text_box(c)) text = to_program_text(box_text(c));
  });
  return text;
}

int gettextboxcontents(int id, char* buffer, int size) {
  bool found = false;
  std::string text;
  with_control(id, [&](Control& c) {
    if (!is_text_box(c)) return;
    found = true;
    text = to_program_text(box_text(c));
  });
  if (!found) return -1;
  const int length = static_cast<int>(text.size());
  if (buffer == nullptr) return length;
  if (size <= 0) return 0;
  const int n = std::min(length, size - 1);
  std::memcpy(buffer, text.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

// Inserts at the caret; a single-line box raises its limit first so nothing is cut off.
void inserttextboxtext(int id, const char* text) {
  const QString t = as_lines(text);
  with_control(id, [&](Control& c) {
    if (c.kind == ControlKind::TextBox) {
      auto* edit = static_cast<QLineEdit*>(c.widget.data());
      const qsizetype needed = edit->text().size() + t.size();
      if (edit->maxLength() < needed) edit->setMaxLength(static_cast<int>(needed) + kLimitSlack);
      edit->insert(t);
    } else if (c.kind == ControlKind::MultiLineTextBox) {
      static_cast<QPlainTextEdit*>(c.widget.data())->insertPlainText(t);
    }
  });
}

void appendtextboxtext(int id, const char* text) {
  const QString t = as_lines(text);
  with_control(id, [&](Control& c) {
    if (c.kind == ControlKind::TextBox) {
      auto* edit = static_cast<QLineEdit*>(c.widget.data());
      const bool selected = edit->hasSelectedText();
      const int start = edit->selectionStart(),
                length = static_cast<int>(edit->selectedText().size());
      const int caret = edit->cursorPosition();
      const qsizetype needed = edit->text().size() + t.size();
      if (edit->maxLength() < needed) edit->setMaxLength(static_cast<int>(needed) + kLimitSlack);
      edit->setText(edit->text() + t);
      if (selected) {
        edit->setSelection(start, length);
      } else {
        edit->setCursorPosition(caret);
      }
    } else if (c.kind == ControlKind::MultiLineTextBox) {
      auto* edit = static_cast<QPlainTextEdit*>(c.widget.data());
      const int top = edit->verticalScrollBar()->value();
      const int left = edit->horizontalScrollBar()->value();
      // Plain positions: a saved QTextCursor would move along with the text like the caret.
      const int anchor = edit->textCursor().anchor();
      const int position = edit->textCursor().position();
      QTextCursor end(edit->document());
      end.movePosition(QTextCursor::End);
      end.insertText(t);
      // A caret at the end has moved along with the new text: put it back.
      if (edit->textCursor().position() != position || edit->textCursor().anchor() != anchor) {
        QTextCursor caret = edit->textCursor();
        caret.setPosition(anchor);
        caret.setPosition(position, QTextCursor::KeepAnchor);
        edit->setTextCursor(caret);
      }
      edit->verticalScrollBar()->setValue(top);
      edit->horizontalScrollBar()->setValue(left);
    }
  });
}

void settextboxreadonly(int id, bool readonly) {
  with_control(id, [&](Control& c) {
    if (c.kind == ControlKind::TextBox) {
      static_cast<QLineEdit*>(c.widget.data())->setReadOnly(readonly);
    } else if (c.kind == ControlKind::MultiLineTextBox) {
      static_cast<QPlainTextEdit*>(c.widget.data())->setReadOnly(readonly);
    }
  });
}

void settextboxfont(int id, int font, int size) {
  const QFont f = style_font(font, size);
  with_control(id, [&](Control& c) {
    if (is_text_box(c)) c.widget->setFont(f);
  });
}

void settextboxcursorposition(int id, int position) {
  with_control(id, [&](Control& c) {
    if (c.kind == ControlKind::TextBox) {
      auto* edit = static_cast<QLineEdit*>(c.widget.data());
      edit->deselect();
      edit->setCursorPosition(position == kTextEnd ? static_cast<int>(edit->text().size())
                                                   : widget_position(edit->text(), position));
    } else if (c.kind == ControlKind::MultiLineTextBox) {
      auto* edit = static_cast<QPlainTextEdit*>(c.widget.data());
      QTextCursor cursor = edit->textCursor();
      if (position == kTextEnd) {
        cursor.movePosition(QTextCursor::End);
      } else {
        cursor.setPosition(widget_position(edit->toPlainText(), std::max(0, position)));
      }
      edit->setTextCursor(cursor);
      edit->ensureCursorVisible();
    }
  });
}

}  // namespace brx::toolkit
