#pragma once
// Strings cross into Qt only here, each kind by what its bytes are:
// - texts (the tables', the boxes', the windows'): UTF-8 inside the program; the tables are
//   Windows-1252 and become UTF-8 once, when they are loaded;
// - file names: the file system's bytes, shown and taken with its own codec;
// - the editors' text is Windows-1252 and crosses at the editor control's own edge
//   ("editor_control/gui/editor_text.h").

#include <QFile>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "platform/message_box.h"

namespace gui {

inline QString ToQt(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string FromQt(const QString& text) { return text.toUtf8().toStdString(); }

// A name as the file system holds it, shown; a byte that is no character of the file system's
// encoding shows as the replacement character.
inline QString NameToQt(std::string_view name) {
  return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

// The file system's bytes of a name the user chose, or nothing for a name it cannot hold
// (one that would not come back as the same name).
inline std::optional<std::string> NameFromQt(const QString& name) {
  const QByteArray bytes = QFile::encodeName(name);
  if (QFile::decodeName(bytes) != name || bytes.contains('\0')) return std::nullopt;
  return bytes.toStdString();
}

// The box that refuses a name NameFromQt cannot give bytes for: it is never changed into
// another name.
inline platform::BoxRequest UnusableNameNotice(const QString& name) {
  // Built by appending: GCC 12's optimiser takes a prepending concatenation for an overlapping
  // copy.
  std::string text = "\"";
  text += FromQt(name);
  text += "\"\r\rcannot be a file name here: the file system would hold it as another name.";
  return {std::move(text), "File Name", platform::BoxButtons::Ok};
}

// A CR (a "^" of the tables) is a line break only where a text is shown.
inline QString ShownText(std::string_view utf8) {
  QString text = ToQt(utf8);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

}  // namespace gui
