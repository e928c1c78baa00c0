#pragma once
// The file list at the left of the main window: one row per editor, in the array's order. A
// row shows the file's name without its folder, with "*" before it on a raised colour while
// the editor is modified, and in bold for the top file.

#include <QStyledItemDelegate>
#include <string>

namespace gui {

class T_ZKEditorArray;

// The text a row shows: the name without folder, "*" first when modified.
std::string FileListRowText(const std::string& row, bool modified);

// The row colour of a modified file: the list's colour raised by 0xF00 in the 0x00BBGGRR form
// colours are stored in, carried into the next channel as the integer sum does.
QColor ModifiedRowColor(const QColor& window);

class FilesLoadedDrawer : public QStyledItemDelegate {
 public:
  FilesLoadedDrawer(const T_ZKEditorArray& editors, QObject* parent)
      : QStyledItemDelegate(parent), editors_(editors) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  // As wide as the text drawn, the file's name: the row's whole path would make the list
  // scroll sideways for names that fit.
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  const T_ZKEditorArray& editors_;
};

}  // namespace gui
