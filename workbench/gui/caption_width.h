#pragma once
// Small windows as wide as their captions: a window manager cuts a title that does not fit
// its frame ("Go to… mber…"), so a box or small dialog never gets narrower than its caption.

#include <QString>

class QMessageBox;
class QWidget;

namespace gui {

// The width a frame needs to show the whole caption: the title in the (bold) title font and
// room for the frame's icon and its buttons.
int CaptionWidth(const QString& caption);

// Keeps window at least CaptionWidth(its title) wide, now and whenever its title changes
// (a language change retitles it).
void KeepCaptionWhole(QWidget& window);

// A message box sizes itself from its text alone; this widens its layout to the caption.
void WidenToCaption(QMessageBox& box);

}  // namespace gui
