#pragma once
// The control's text is 8-bit Windows-1252 (0x80 is "€"); it becomes Unicode only here, where
// it is drawn, measured, copied or dragged out, and Unicode becomes it where it is typed,
// composed, pasted or dropped in.

#include <QChar>
#include <QString>
#include <QValidator>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet::gui {

QChar EditorCharToQt(char c);
QString EditorTextToQt(std::string_view text);

// A text the control cannot hold whole: the first character it lacks.
struct UnheldCharacter {
  char32_t character;
};

// The control's bytes of `text`, or the first character it cannot hold.
std::optional<std::string> EditorTextFromQt(const QString& text, UnheldCharacter* unheld = nullptr);

// For a line edit whose text goes into the editor (a find or replace text): a character the
// editor cannot hold is not taken.
class EditorTextValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};

// "The editor cannot hold the character "中" (U+4E2D)." for the status line.
QString UnheldCharacterMessage(UnheldCharacter unheld);

}  // namespace scrivlet::gui
