// Modal dialogs: message box, one-line text request, list choice, open and save file dialogs.
// They are shown on the event-loop thread, owned by the window the caller names (or the window
// current when it asks), while the calling thread (program or callback) waits; the test answerer
// replaces them when installed.

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>

#include "toolkit/window_widgets.h"

namespace brx::toolkit::detail {
namespace {

using test::DialogAnswer;
using test::DialogKind;
using test::DialogRequest;

constexpr int kTitleLimit = 128;      // text request title and prompt
constexpr int kFileTextLimit = 64;    // file dialog title, description and pattern
constexpr int kFilterNameLimit = 32;  // pattern characters naming an unnamed filter

QString limited(const char* text, int limit) {
  QString t = from_program_text(text);
  if (t.size() > limit) t.truncate(limit);
  return t;
}

// "*.dat" -> "*.dat *.DAT": Linux file names are case-sensitive, the patterns are not meant to be.
QString case_variants(const QString& pattern) {
  QStringList out;
  for (const QString& p :
       pattern.split(QRegularExpression(QStringLiteral("[; ]")), Qt::SkipEmptyParts)) {
    for (const QString& v : {p, p.toLower(), p.toUpper()}) {
      if (!out.contains(v)) out << v;
    }
  }
  return out.join(QLatin1Char(' '));
}

struct FileDialogSetup {
  QString folder;
  QString name;
  QStringList filters;
};

FileDialogSetup file_dialog_setup(const std::string& filename, const char* description,
                                  const char* pattern) {
  FileDialogSetup s;
  const QString pat = limited(pattern, kFileTextLimit);
  if (!pat.isEmpty()) {
    const QString desc = limited(description, kFileTextLimit);
    const QString name =
        desc.isEmpty() ? pat.left(kFilterNameLimit) + QStringLiteral(" files") : desc;
    s.filters << name + QStringLiteral(" (") + case_variants(pat) + QLatin1Char(')');
  }
  s.filters << QStringLiteral("All Files (*)");

  const QString given = from_file_name(filename);
  if (given.endsWith(QLatin1Char('/')) || given.endsWith(QLatin1Char('\\'))) {
    s.folder = given;
  } else if (!given.isEmpty()) {
    const QFileInfo info(given);
    if (given.contains(QLatin1Char('/'))) s.folder = info.path();
    const QString last = info.fileName();
    if (last.contains(QLatin1Char('*')) || last.contains(QLatin1Char('?'))) {
      s.filters.prepend(last + QStringLiteral(" (") + case_variants(last) + QLatin1Char(')'));
    } else {
      s.name = last;
    }
  }
  return s;
}

// The window a dialog request shows it belongs to.
int owner_id(const WindowPtr& owner) {
  return owner ? owner->id.load() : -1;
}

// Shows an open or save dialog modal to `owner`; `chosen` receives the absolute path.
bool run_file_dialog(const WindowPtr& owner, bool save, const FileDialogSetup& s,
                     const QString& title, bool confirm_overwrite, QString& chosen) {
  DialogRequest request;
  request.kind = save ? DialogKind::SaveFile : DialogKind::OpenFile;
  request.window = owner_id(owner);
  request.title = title.toStdString();
  request.text = s.name.toStdString();
  request.folder = s.folder.toStdString();
  request.filter = s.filters.join(QStringLiteral(";;")).toStdString();
  request.confirm_overwrite = save && confirm_overwrite;
  DialogAnswer answer;
  if (answer_by_test(request, answer)) {
    if (!answer.accepted) return false;
    const QDir base(s.folder.isEmpty() ? QDir::currentPath() : s.folder);
    chosen = QDir::cleanPath(base.absoluteFilePath(QString::fromStdString(answer.text)));
    return true;
  }
  bool accepted = false;
  run_on_gui([&] {
    QPointer<QFileDialog> dialog =
        new QFileDialog(dialog_owner(owner), title, s.folder, s.filters.join(QStringLiteral(";;")));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (save && !confirm_overwrite) dialog->setOption(QFileDialog::DontConfirmOverwrite);
    if (!s.name.isEmpty()) dialog->selectFile(s.name);
    if (run_modal(dialog) && !dialog->selectedFiles().isEmpty()) {
      chosen = dialog->selectedFiles().constFirst();
      accepted = true;
    }
    delete dialog;
  });
  return accepted;
}

int file_dialog(bool save, std::string& filename, const char* description, const char* pattern,
                const char* title, int window) {
  const WindowPtr owner = dialog_window(window);
  const FileDialogSetup setup = file_dialog_setup(filename, description, pattern);
  QString chosen;
  if (!run_file_dialog(owner, save, setup, limited(title, kFileTextLimit), false, chosen)) {
    return 0;
  }
  filename = to_file_name(chosen);
  // The program reads the chosen file by its folder afterwards. A folder that cannot be entered
  // (typed in the dialog, or gone meanwhile) leaves the working directory where it was; the
  // program finds out when it opens the file.
  if (!save) QDir::setCurrent(QFileInfo(chosen).absolutePath());
  return 1;
}

// The Ok (default) and Cancel buttons under a dialog's contents, accepting and rejecting it.
void add_ok_cancel(QDialog* dialog, QVBoxLayout* layout) {
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* ok = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
}

}  // namespace

bool run_modal(QDialog* dialog) {
  const QPointer<QDialog> guard(dialog);
  const int result = dialog->exec();
  return !guard.isNull() && result == QDialog::Accepted;
}

WindowPtr dialog_window(int window) {
  return window_by_id(window == kCurrentWindow ? current_window_id() : window);
}

QWidget* dialog_owner(const WindowPtr& window) {
  return window ? window->frame : nullptr;
}

bool ask_image_file_name(const WindowPtr& window, std::string& name) {
  FileDialogSetup setup;
  setup.filters << QStringLiteral("Bitmap files (*.BMP *.bmp)") << QStringLiteral("All Files (*)");
  QString chosen;
  if (!run_file_dialog(window, true, setup, QString(), true, chosen)) return false;
  name = to_file_name(chosen);
  // A name without a three-letter extension gets ".BMP"; very long names are left alone.
  constexpr std::size_t kLongName = 256;
  if (name.size() < kLongName && (name.size() < 4 || name[name.size() - 4] != '.')) {
    name += ".BMP";
  }
  return true;
}

}  // namespace brx::toolkit::detail

namespace brx::toolkit {

using namespace detail;

void dlgmessage(int kind, const char* text, int window) {
  if (text == nullptr) return;
  const WindowPtr owner = dialog_window(window);
  struct Look {
    const char* title;
    QMessageBox::Icon icon;
    int icon_code;
  };
  const Look look = kind == 1   ? Look{"Information", QMessageBox::Information, 1}
                    : kind == 2 ? Look{"Warning", QMessageBox::Warning, 2}
                    : kind == 3 ? Look{"Error", QMessageBox::Critical, 3}
                                : Look{"Message", QMessageBox::NoIcon, 0};
  QString body = from_program_text(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  test::DialogRequest request;
  request.kind = test::DialogKind::Message;
  request.title = look.title;
  request.text = body.toStdString();
  request.icon = look.icon_code;
  request.window = owner_id(owner);
  test::DialogAnswer answer;
  if (answer_by_test(request, answer)) return;
  run_on_gui([&] {
    QPointer<QMessageBox> box = new QMessageBox(look.icon, QString::fromLatin1(look.title), body,
                                                QMessageBox::Ok, dialog_owner(owner));
    run_modal(box);
    delete box;
  });
}

int dlgrequesttext(std::string& text, const char* title, const char* prompt, int maxlength,
                   int window) {
  const WindowPtr owner = dialog_window(window);
  const QString caption =
      title == nullptr ? QStringLiteral("Input Requested") : limited(title, kTitleLimit);
  const QString question = limited(prompt, kTitleLimit);
  const QString initial = from_program_text(trim_right(text).c_str());
  auto clip = [&](QString v) {
    if (maxlength > 0 && v.size() > maxlength) v.truncate(maxlength);
    return v;
  };

  test::DialogRequest request;
  request.kind = test::DialogKind::RequestText;
  request.title = caption.toStdString();
  request.text = initial.toStdString();
  request.prompt = question.toStdString();
  request.window = owner_id(owner);
  test::DialogAnswer answer;
  if (answer_by_test(request, answer)) {
    if (!answer.accepted) return 0;
    text = to_program_text(clip(QString::fromStdString(answer.text)));
    return 1;
  }

  QString entered;
  bool accepted = false;
  run_on_gui([&] {
    QPointer<QDialog> dialog = new QDialog(dialog_owner(owner));
    dialog->setWindowTitle(caption);
    auto* layout = new QVBoxLayout(dialog);
    if (!question.isEmpty()) layout->addWidget(new QLabel(question, dialog));
    auto* edit = new QLineEdit(initial, dialog);
    if (maxlength > 0) edit->setMaxLength(maxlength);
    edit->setMinimumWidth(360);
    layout->addWidget(edit);
    add_ok_cancel(dialog, layout);
    if (run_modal(dialog)) {
      entered = edit->text();
      accepted = true;
    }
    delete dialog;
  });
  if (!accepted) return 0;
  text = to_program_text(clip(entered));
  return 1;
}

int dlgchooseitem(int& index, const std::vector<std::string>& items, const char* title,
                  const char* prompt, int window) {
  if (items.empty()) return 0;
  const WindowPtr owner = dialog_window(window);
  const QString caption = title == nullptr ? QStringLiteral("Choose") : limited(title, kTitleLimit);
  const QString question = limited(prompt, kTitleLimit);
  QStringList entries;
  for (const std::string& item : items) entries << from_program_text(item.c_str());
  const bool preselected = index >= 0 && static_cast<std::size_t>(index) < items.size();

  test::DialogRequest request;
  request.kind = test::DialogKind::ChooseItem;
  request.title = caption.toStdString();
  request.prompt = question.toStdString();
  request.text = preselected ? entries[index].toStdString() : std::string();
  for (const QString& entry : entries) request.items.push_back(entry.toStdString());
  request.window = owner_id(owner);
  test::DialogAnswer answer;
  if (answer_by_test(request, answer)) {
    const auto at = std::find(request.items.begin(), request.items.end(), answer.text);
    if (!answer.accepted || at == request.items.end()) return 0;
    index = static_cast<int>(at - request.items.begin());
    return 1;
  }

  int chosen = -1;
  run_on_gui([&] {
    QPointer<QDialog> dialog = new QDialog(dialog_owner(owner));
    dialog->setWindowTitle(caption);
    auto* layout = new QVBoxLayout(dialog);
    if (!question.isEmpty()) layout->addWidget(new QLabel(question, dialog));
    auto* list = new QListWidget(dialog);
    list->addItems(entries);
    list->setCurrentRow(preselected ? index : 0);
    list->setMinimumWidth(360);
    layout->addWidget(list);
    add_ok_cancel(dialog, layout);
    QObject::connect(list, &QListWidget::itemDoubleClicked, dialog, &QDialog::accept);
    if (run_modal(dialog)) chosen = list->currentRow();
    delete dialog;
  });
  if (chosen < 0) return 0;
  index = chosen;
  return 1;
}

int dlgopenfile(std::string& filename, const char* description, const char* pattern,
                const char* title, int window) {
  return file_dialog(false, filename, description, pattern, title, window);
}

int dlgsavefile(std::string& filename, const char* description, const char* pattern,
                const char* title, int window) {
  return file_dialog(true, filename, description, pattern, title, window);
}

}  // namespace brx::toolkit
