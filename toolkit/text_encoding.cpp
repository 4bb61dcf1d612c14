// Text handed to and from the program: UTF-8, or Windows-1252 after useansitext(). File
// names are always the system's own UTF-8 bytes, since they are opened with the C++ library.

#include <QStringDecoder>
#include <atomic>

#include "toolkit/window_record.h"

namespace brx::toolkit::detail {
namespace {

std::atomic<bool> g_ansi{false};

// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes keep their C1 code points.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char to_windows_1252(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

bool ansi_text() {
  return g_ansi.load();
}
void set_ansi_text(bool on) {
  g_ansi = on;
}

QString from_program_text(const char* text, bool* ok) {
  if (ok != nullptr) *ok = true;
  if (text == nullptr) return QString();
  if (g_ansi.load()) {
    QString out;
    for (const char* p = text; *p != '\0'; ++p) {
      const auto byte = static_cast<unsigned char>(*p);
      out.append(QChar(byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80]
                                                   : static_cast<char16_t>(byte)));
    }
    return out;
  }
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString out = decoder.decode(QByteArrayView(text));
  if (ok != nullptr) *ok = !decoder.hasError();
  return out;
}

std::string to_program_text(const QString& text) {
  if (!g_ansi.load()) return text.toStdString();
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) out.push_back(to_windows_1252(c.unicode()));
  return out;
}

QString from_file_name(const std::string& name) {
  return QString::fromStdString(name);
}

std::string to_file_name(const QString& name) {
  return name.toStdString();
}

std::string trim_right(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace brx::toolkit::detail
