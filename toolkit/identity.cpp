// The program's place on the desktop: the desktop entry its windows belong to and their icon.

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <mutex>

#include "toolkit/window_record.h"

namespace brx::toolkit::detail {
namespace {

std::mutex g_identity_mutex;  // guards the two values below
QString g_desktop_id;
QStringList g_icon_files;

}  // namespace

void apply_identity() {
  QString id;
  QStringList files;
  {
    std::lock_guard lock(g_identity_mutex);
    id = g_desktop_id;
    files = g_icon_files;
  }
  if (id.isEmpty()) return;
  QGuiApplication::setDesktopFileName(id);
  // The icon theme's own icon first: a theme the user chose may draw it in its style.
  QIcon icon;
  for (const QString& file : files) {
    if (QFileInfo(file).isReadable()) icon.addFile(file);
  }
  QApplication::setWindowIcon(QIcon::fromTheme(id, icon));
}

}  // namespace brx::toolkit::detail

namespace brx::toolkit {

using namespace detail;

void setapplicationidentity(const std::string& desktop_id,
                            const std::vector<std::string>& icon_files) {
  {
    std::lock_guard lock(g_identity_mutex);
    g_desktop_id = QString::fromStdString(desktop_id);
    g_icon_files.clear();
    for (const std::string& f : icon_files) g_icon_files << from_file_name(f);
  }
  // Before the event loop runs this does nothing; run_toolkit_program applies it at its start.
  run_on_gui(apply_identity);
}

}  // namespace brx::toolkit
