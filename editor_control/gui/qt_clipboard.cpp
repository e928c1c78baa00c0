#include "editor_control/gui/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace scrivlet::gui {

void QtClipboard::Put(std::string_view text, bool column_block) {
  auto* data = new QMimeData;  // the clipboard takes it over
  data->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
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
  const QByteArray latin = data->text().toLatin1();
  return std::string(latin.constData(), static_cast<size_t>(latin.size()));
}

bool QtClipboard::IsColumnBlock() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasFormat(kColumnBlockMime)) return false;
  const QByteArray marker = data->data(kColumnBlockMime);
  return !marker.isEmpty() && marker[0] == '\x02';
}

}  // namespace scrivlet::gui
