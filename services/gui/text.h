#pragma once
// The tables' texts are 8-bit bytes (Latin-1); they become QString only here, at the edge.

#include <QString>
#include <string>
#include <string_view>

namespace gui {

inline QString ToQt(std::string_view latin1) {
  return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

inline std::string FromQt(const QString& text) { return text.toLatin1().toStdString(); }

// A CR (a "^" of the tables) is a line break only where a text is shown.
inline QString ShownText(std::string_view latin1) {
  QString text = ToQt(latin1);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

}  // namespace gui
