#include "editor_control/gui/editor_text.h"

#include "code_page/windows_1252.h"

namespace scrivlet::gui {

QChar EditorCharToQt(char c) {
  return QChar(
      static_cast<char16_t>(code_page::UnicodeOfWindows1252(static_cast<unsigned char>(c))));
}

QString EditorTextToQt(std::string_view text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (char c : text) out += EditorCharToQt(c);
  return out;
}

std::optional<std::string> EditorTextFromQt(const QString& text, UnheldCharacter* unheld) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (char32_t c : text.toUcs4()) {
    const std::optional<char> byte = code_page::Windows1252Of(c);
    if (!byte) {
      if (unheld) unheld->character = c;
      return std::nullopt;
    }
    out += *byte;
  }
  return out;
}

QValidator::State EditorTextValidator::validate(QString& input, int& /*position*/) const {
  return EditorTextFromQt(input) ? Acceptable : Invalid;
}

QString UnheldCharacterMessage(UnheldCharacter unheld) {
  const char32_t c = unheld.character;
  const QString code = QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, '0');
  return QStringLiteral("The editor cannot hold the character \"%1\" (U+%2).")
      .arg(QString::fromUcs4(&c, 1), code);
}

}  // namespace scrivlet::gui
