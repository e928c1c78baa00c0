#include "editor_control/gui/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "code_page/windows_1252.h"

namespace scrivlet::gui {

void QtClipboard::Put(std::string_view text, bool column_block) {
  auto* data = new QMimeData;  // the clipboard takes it over
  data->setText(EditorTextToQt(text));
  if (column_block) data->setData(kColumnBlockMime, QByteArray(1, '\x02'));
  QGuiApplication::clipboard()->setMimeData(data);
}

bool QtClipboard::HasText() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data != nullptr && data->hasText();
}

std::string QtClipboard::Text() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr) return {};
  std::string text;
  for (char32_t c : data->text().toUcs4()) text += code_page::Windows1252Of(c).value_or('?');
  return text;
}

std::optional<std::string> QtClipboard::TextToPaste() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr) return std::string();
  UnheldCharacter unheld{};
  std::optional<std::string> text = EditorTextFromQt(data->text(), &unheld);
  if (!text && OnUnheldCharacter) OnUnheldCharacter(unheld);
  return text;
}

bool QtClipboard::IsColumnBlock() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasFormat(kColumnBlockMime)) return false;
  const QByteArray marker = data->data(kColumnBlockMime);
  return !marker.isEmpty() && marker[0] == '\x02';
}

}  // namespace scrivlet::gui
