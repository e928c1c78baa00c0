#include "workbench/gui/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace gui {

void QtClipboard::SetFormats(const std::map<std::string, std::string>& formats) {
  auto* data = new QMimeData;
  for (const auto& [name, bytes] : formats) {
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (name == platform::kClipboardText)
      data->setText(scrivlet::gui::EditorTextToQt(bytes));
    else
      data->setData(QString::fromStdString(name), raw);
  }
  QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<std::string> QtClipboard::Format(std::string_view name) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return std::nullopt;
  if (name == platform::kClipboardText) {
    if (!data->hasText()) return std::nullopt;
    // The legacy editor's text: a text it cannot hold whole is no text to it.
    return scrivlet::gui::EditorTextFromQt(data->text());
  }
  const QString format = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  if (!data->hasFormat(format)) return std::nullopt;
  return data->data(format).toStdString();
}

bool QtClipboard::RefusesText() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  scrivlet::gui::UnheldCharacter unheld{};
  if (scrivlet::gui::EditorTextFromQt(data->text(), &unheld)) return false;
  if (OnUnheldCharacter) OnUnheldCharacter(unheld);
  return true;
}

}  // namespace gui
