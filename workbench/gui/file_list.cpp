#include "workbench/gui/file_list.h"

#include <QFontMetrics>
#include <QPainter>
#include <filesystem>

#include "editor_control/gui/scrivlet_widget.h"
#include "workbench/gui/editor_array.h"

namespace gui {

std::string FileListRowText(const std::string& row, bool modified) {
  // Blank rows ("{Blank_2_QV/B}") carry a "/" of their own and are not paths.
  const bool blank = row.rfind("{Blank_", 0) == 0;
  const std::string name = blank ? row : std::filesystem::path(row).filename().string();
  return modified ? "*" + name : name;
}

QColor ModifiedRowColor(const QColor& window) {
  const unsigned bgr = static_cast<unsigned>(window.red()) |
                       static_cast<unsigned>(window.green()) << 8 |
                       static_cast<unsigned>(window.blue()) << 16;
  const unsigned raised = (bgr + 0xF00u) & 0xFFFFFFu;
  return QColor(static_cast<int>(raised & 0xFF), static_cast<int>(raised >> 8 & 0xFF),
                static_cast<int>(raised >> 16 & 0xFF));
}

QSize FilesLoadedDrawer::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  QFont font = option.font;
  font.setBold(true);  // the top file's row is the widest a name gets
  // A modified row shows its "*" as well.
  const std::string text = FileListRowText(index.data().toString().toStdString(), true);
  size.setWidth(QFontMetrics(font).horizontalAdvance(QString::fromStdString(text)) + 4);
  return size;
}

void FilesLoadedDrawer::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const int row = index.row();
  TScrivlet* editor = editors_.GetEditor(row);
  const bool modified = editor && editor->Memo().Modified();
  const bool selected = option.state & QStyle::State_Selected;
  QColor fill = selected ? option.palette.highlight().color() : option.palette.base().color();
  if (modified && !selected) fill = ModifiedRowColor(fill);
  painter->save();
  painter->fillRect(option.rect, fill);
  QFont font = option.font;
  font.setBold(row == editors_.TopIndex());
  painter->setFont(font);
  painter->setPen(selected ? option.palette.highlightedText().color()
                           : option.palette.text().color());
  const std::string text = FileListRowText(index.data().toString().toStdString(), modified);
  painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                    QString::fromStdString(text));
  painter->restore();
}

}  // namespace gui
