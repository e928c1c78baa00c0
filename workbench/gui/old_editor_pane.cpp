#include "workbench/gui/old_editor_pane.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <chrono>
#include <filesystem>

#include "build_debug/builtin/builtin_messages.h"
#include "platform/message_box.h"
#include "platform/modal_dialogs.h"
#include "resources/code_widget_names.h"
#include "resources/string_ids.h"
#include "services/gui/text.h"
#include "services/silent_abort.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/find_replace_form.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/qt_clipboard.h"
#include "workbench/session/session.h"
#include "workbench/small_dialogs.h"

namespace editor_frm = widget_names::EditorFRM;
namespace main_menu = widget_names::MainMenu;

namespace gui {
namespace {

namespace ids = string_ids::EditorUnit;

constexpr int kSmallestFont = 1;
constexpr int kLargestFont = 72;

}  // namespace

LegacyEditorPane::LegacyEditorPane(workbench::IdeSession& session, QWidget* parent,
                                   workbench::LegacyTimers* timers, const platform::Clock* clock)
    : session_(session),
      editor_(session.Messages()),
      widget_(new LegacyEditorWidget(editor_, clock ? *clock : own_clock_, parent)),
      assembler_(session.Image()) {
  if (!timers) {
    own_timers_ = std::make_unique<QtLegacyTimers>(editor_);
    timers = own_timers_.get();
  }
  editor_.SetTimers(timers);
  const workbench::GlobalValues& globals = session_.Globals();
  widget_->SetEditorFont(ToQt(globals.EditorFontName), globals.EditorFontSize);
}

LegacyEditorPane::~LegacyEditorPane() {
  editor_.SetTimers(nullptr);
  // The window may outlive the pane in its parent: it goes first, while the editor it draws
  // is still there.
  delete widget_.data();
}

platform::Clipboard& LegacyEditorPane::Clipboard() {
  try {
    return session_.Clipboard();
  } catch (const workbench::MissingService&) {
    if (!own_clipboard_) {
      auto clipboard = std::make_unique<QtClipboard>();
      clipboard->OnUnheldCharacter = [this](scrivlet::gui::UnheldCharacter unheld) {
        if (widget_ && widget_->OnUnheldCharacter) widget_->OnUnheldCharacter(unheld);
      };
      own_clipboard_ = std::move(clipboard);
    }
    return *own_clipboard_;
  }
}

void LegacyEditorPane::Paint() { widget_->Repaint(); }

void LegacyEditorPane::LayOut() { widget_->LayOut(); }

namespace {

std::filesystem::file_time_type FileTime(const std::string& name) {
  std::error_code error;
  const auto time = std::filesystem::last_write_time(name, error);
  return error ? std::filesystem::file_time_type{} : time;
}

}  // namespace

bool LegacyEditorPane::OpenFile(const std::string& name) {
  using Result = workbench::LegacyEditor::FileResult;
  const Result result = editor_.LoadFile(name);
  if (result == Result::kCannotRead)
    session_.Messages().MsgBoxById1(ids::SCU_OPEN_FILE_MISSING, ids::SCU_FILE_NOT_FOUND_CAPTION,
                                    name);
  if (result != Result::kOk) return false;
  file_name_ = name;
  file_time_ = FileTime(name);
  return true;
}

bool LegacyEditorPane::SaveFile(const std::string& name, const workbench::FileBytesWriter& writer) {
  if (editor_.SaveFile(name, writer) == workbench::LegacyEditor::FileResult::kOk) {
    file_name_ = name;
    file_time_ = FileTime(name);
    return true;
  }
  session_.Messages().MsgBoxById1(ids::SCU_CANNOT_SAVE, ids::SCU_CANNOT_SAVE_CAPTION, name);
  return false;
}

void LegacyEditorPane::Clear() {
  editor_.ClearBuffer();
  file_name_.clear();
  file_time_ = {};
}

bool LegacyEditorPane::TakeText(std::string_view file_bytes, const std::string& file,
                                std::filesystem::file_time_type file_time, bool modified) {
  if (!editor_.LoadText(file_bytes)) {
    Clear();
    return false;
  }
  editor_.SetModified(modified);
  file_name_ = file;
  file_time_ = file_time;
  editor_.LegacyPaint();
  return true;
}

bool LegacyEditorPane::NewerOnDisk() const {
  if (file_name_.empty() || file_time_ == std::filesystem::file_time_type{}) return false;
  std::error_code error;
  const auto time = std::filesystem::last_write_time(file_name_, error);
  return !error && time - file_time_ >= std::chrono::milliseconds(1);
}

bool LegacyEditorPane::GoneFromDisk() {
  if (file_name_.empty() || file_time_ == std::filesystem::file_time_type{}) return false;
  std::error_code error;
  if (std::filesystem::status(file_name_, error).type() != std::filesystem::file_type::not_found)
    return false;
  file_time_ = {};
  return true;
}

void LegacyEditorPane::EditCut() {
  editor_.HideLegacyCaret();
  editor_.LegacyCut(Clipboard());
  editor_.LegacyPaint();
}

void LegacyEditorPane::EditCopy() {
  editor_.HideLegacyCaret();
  editor_.LegacyCopy(Clipboard());
  editor_.LegacyPaint();
}

void LegacyEditorPane::EditPaste() {
  platform::Clipboard& clipboard = Clipboard();
  // A text with a character the buffer cannot hold is refused whole; the selection stays.
  if (const auto* system = dynamic_cast<const QtClipboard*>(&clipboard);
      system && system->RefusesText())
    return;
  editor_.HideLegacyCaret();
  editor_.LegacyPaste(clipboard);
  editor_.LegacyPaint();
}

namespace {

workbench::LegacyFindChoice ChoiceOf(const TFindReplaceForm::Answer& answer) {
  workbench::LegacyFindChoice choice;
  switch (answer.result) {
    case TFindReplaceForm::kFind: choice.result = workbench::LegacyFindChoice::kFind; break;
    case TFindReplaceForm::kReplace: choice.result = workbench::LegacyFindChoice::kReplace; break;
    case TFindReplaceForm::kReplaceAll:
      choice.result = workbench::LegacyFindChoice::kReplaceAll;
      break;
    default: return choice;
  }
  choice.find_text = answer.find_text;
  choice.replace_text = answer.replace_text;
  choice.from_start = answer.from_start;
  // The form answers "Word Only" only where it offered it.
  choice.word_only = answer.word_only;
  choice.word_only_enabled = answer.word_only;
  return choice;
}

workbench::LegacyFindChoice AskFindReplace(IdeForms* forms, bool replace_enabled) {
  if (!forms) return {};
  return ChoiceOf(forms->FindReplace().Execute(replace_enabled));
}

}  // namespace

void LegacyEditorPane::EditFind() {
  if (IdeForms* forms = forms_ ? forms_() : nullptr)
    editor_.EditFind(ChoiceOf(forms->FindReplace().Held()));
}

void LegacyEditorPane::EditFindNext() {
  IdeForms* forms = forms_ ? forms_() : nullptr;
  if (!forms) return;
  const workbench::LegacyFindChoice choice = ChoiceOf(forms->FindReplace().Held());
  if (!choice.find_text.empty()) editor_.EditFind(choice);
}

void LegacyEditorPane::EditFindReplace() {
  editor_.EditFindReplace(AskFindReplace(forms_ ? forms_() : nullptr, editor_.HasSelection()));
}

void LegacyEditorPane::EditReplace() {
  const workbench::LegacyFindChoice choice =
      AskFindReplace(forms_ ? forms_() : nullptr, editor_.HasSelection());
  if (choice.result != workbench::LegacyFindChoice::kCancel) editor_.EditReplace(choice);
}

void LegacyEditorPane::SetFontSize(int size) {
  workbench::GlobalValues& globals = session_.Globals();
  globals.EditorFontSize = std::clamp(size, kSmallestFont, kLargestFont);
  widget_->SetEditorFont(ToQt(globals.EditorFontName), globals.EditorFontSize);
  editor_.HideLegacyCaret();
  widget_->LayOut();
}

void LegacyEditorPane::TextBigger() { SetFontSize(session_.Globals().EditorFontSize + 1); }
void LegacyEditorPane::TextSmaller() { SetFontSize(session_.Globals().EditorFontSize - 1); }

// Printing.

void LegacyEditorPane::LegacyPrint() {
  IdeForms* forms = forms_ ? forms_() : nullptr;
  if (!forms) return;
  auto* target = dynamic_cast<QtPrintTarget*>(&forms->Printer());
  if (!target) return;
  const workbench::LegacyPrintCounts counts = editor_.PrintCounts();
  const TPrintForm::Job job{counts.has_selection, print_font_size_, print_sections_,
                            counts.text_lines, counts.selection_lines};
  const std::optional<TPrintForm::Choice> choice = forms->Print().Execute(job);
  if (!choice) return;
  print_font_size_ = choice->font_size;
  print_sections_ = choice->sections;
  QPrinter& printer = target->Printer();
  // A file chosen for one job is not written again by the next without asking.
  const bool ask_file =
      printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty();
  if (ask_file && !ChoosePrintFile(printer)) return;
  int start = 0;
  int end = 0;
  editor_.PrintRange(choice->selection, start, end);
  PrintPages(printer, start, end, *choice, forms->PrintStatus());
  if (ask_file) printer.setOutputFileName(QString());
}

bool LegacyEditorPane::ChoosePrintFile(QPrinter& printer) {
  // Without a printer the job goes to a file, which the user names as in the editors' print
  // dialog; nothing is written where it was not asked for.
  QFileDialog dialog(widget_);
  dialog.setObjectName(editor_frm::PrintFileDLG);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setWindowTitle("Print to File");
  dialog.setNameFilter("PDF Files (*.pdf)");
  dialog.setDefaultSuffix("pdf");
  const std::string& folder = session_.Globals().CurrentFile.Folder;
  if (!folder.empty()) dialog.setDirectory(NameToQt(folder));
  dialog.selectFile(QStringLiteral("QV-Key.pdf"));
  if (session_.Dialogs().Run(dialog) != QDialog::Accepted) return false;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return false;
  printer.setOutputFileName(files.first());
  return true;
}

void LegacyEditorPane::PrintPages(QPrinter& printer, int start, int end,
                                  const TPrintForm::Choice& choice, TPrintStatusForm& status) {
  printer.setDocName("QV-Key");
  QPainter painter;
  if (!painter.begin(&printer)) {
    session_.Messages().MsgBoxById1(
        ids::SCU_CANNOT_PRINT, ids::SCU_CANNOT_PRINT_CAPTION,
        FromQt(printer.printerName().isEmpty() ? printer.outputFileName() : printer.printerName()));
    return;
  }
  // The font the print form measured the page with.
  const QFont font(ToQt(session_.Globals().EditorFontName), choice.font_size);
  painter.setFont(font);
  const QFontMetrics metrics(font, &printer);
  const int cell_width = metrics.horizontalAdvance(QLatin1Char('X'));
  const int line_height = metrics.height();
  const workbench::PrintLayout& layout = choice.layout;
  const int sections = std::max(1, choice.sections);
  const int rows = layout.lines_per_page;

  // The status form is modal while the job prints: between pages its Cancel can be pressed,
  // and nothing else can touch the text being printed.
  status.setWindowModality(Qt::ApplicationModal);
  status.Start(layout.pages);
  int pos = start;
  bool first = true;
  while (pos < end && rows > 0 && !status.Cancelled()) {
    if (!first) printer.newPage();
    first = false;
    status.NextPage();
    QCoreApplication::processEvents();
    if (status.Cancelled()) break;
    const int pen_width = cell_width / 8 + 1;  // whole pixels, as the grid is drawn
    painter.setPen(QPen(Qt::black, pen_width));
    for (int i = 1; i < sections; ++i) {
      const int x = (layout.columns + 1) * cell_width * i + layout.left_margin + cell_width / 2;
      painter.drawLine(x, layout.top_margin, x, layout.top_margin + rows * line_height);
    }
    for (int slot = 0; slot < sections * rows && pos < end && !status.Cancelled(); ++slot) {
      const int x = ((slot / rows) * (layout.columns + 1) + 1) * cell_width + layout.left_margin;
      const int y = (slot % rows) * line_height + layout.top_margin;
      const std::string line = editor_.PrintLine(pos, end, layout.columns);
      painter.drawText(x, y + metrics.ascent(), scrivlet::gui::EditorTextToQt(line));
    }
  }
  if (status.Cancelled()) printer.abort();
  painter.end();
  status.Finish();
}

// The build.

bool LegacyEditorPane::CopyEditorToOldBuffer(const std::optional<std::string>& editor_text) {
  if (!editor_text) return false;
  copy_refused_ = !editor_.ReplaceAllText(*editor_text);
  if (copy_refused_) {
    RefuseTooLargeText();
    return false;
  }
  editor_.LegacyPaint();
  return true;
}

void LegacyEditorPane::RefuseTooLargeText() {
  build_debug::ObjectImage& image = session_.Image();
  refusal_ = build_debug::builtin_messages::kSourceTooLarge;
  image.Failed = 1;
  image.ErrorText = refusal_.c_str();
  image.ErrorStart = image.ErrorEnd = 0;
}

bool LegacyEditorPane::AssembleOldBuffer(std::string& error_text) {
  build_debug::ObjectImage& image = session_.Image();
  if (copy_refused_) {
    copy_refused_ = false;
    RefuseTooLargeText();
    error_text = refusal_;
    return false;
  }
  image.SourceText = editor_.TerminatedText();
  editor_.HideLegacyCaret();
  assembler_.BuiltinAssemble();
  if (image.Failed) error_text = image.ErrorText ? image.ErrorText : "";
  return !image.Failed;
}

void LegacyEditorPane::ShowErrorToken() {
  const build_debug::ObjectImage& image = session_.Image();
  editor_.HideLegacyCaret();
  editor_.Select(image.ErrorStart, image.ErrorEnd);
  editor_.LegacyPaint();
}

// The main window's commands.

void BindLegacyEditorCommands(TEditorFRM& form, LegacyEditorPane& pane) {
  struct Command {
    const char* item;
    void (LegacyEditorPane::*run)();
  };
  static constexpr Command kCommands[] = {
      {main_menu::EditCutMENUITM, &LegacyEditorPane::EditCut},
      {main_menu::EditCopyMENUITM, &LegacyEditorPane::EditCopy},
      {main_menu::EditPasteMENUITM, &LegacyEditorPane::EditPaste},
      {main_menu::EditFindReplaceMENUITM, &LegacyEditorPane::EditFindReplace},
      {main_menu::EditReplaceMENUITM, &LegacyEditorPane::EditReplace},
      {main_menu::EditTextBiggerMENUITM, &LegacyEditorPane::TextBigger},
      {main_menu::EditTextSmallerMENUITM, &LegacyEditorPane::TextSmaller},
  };
  pane.SetForms([&form] { return form.Forms(); });
  for (const Command& command : kCommands) {
    form.SetMenuHandler(command.item, [&pane, run = command.run] { (pane.*run)(); });
    form.SetCommandKeys(command.item);
  }
  // Save is the main window's, as for the enhanced editor: the same backup and questions.
  form.SetCommandKeys(main_menu::FileSaveMENUITM);
}

}  // namespace gui
