// Characters beyond ASCII in the editor of the real main window, offscreen: a source keeps the
// encoding it came in, and what is typed, composed, pasted or copied is the character it is.
// (A UTF-8 comment once showed as "cafÃ©" and a typed "ä" made the file invalid UTF-8; a dead
// key typed nothing, and a pasted "€" became "?".)

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <filesystem>
#include <fstream>

#include "editor_control/gui/editor_text.h"
#include "editor_control/gui/scrivlet_widget.h"
#include "gui_session.h"
#include "resources/widget_names.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/main_files.h"
#include "workbench/gui/qt_clipboard.h"

namespace main_menu = widget_names::MainMenu;

namespace {

using testing_gui::ReadFile;

class SourceCharactersTest : public testing_gui::GuiSessionTest {
 public:
  SourceCharactersTest() {
    StartSession();
    form_ =
        std::make_unique<gui::TEditorFRM>(*session_, std::vector<std::string>{}, QSize(800, 600));
    form_->show();
  }
  gui::TEditorFRM& Form() { return *form_; }
  scrivlet::gui::TScrivlet& Editor() { return *Form().CurrentScrivlet(); }
  std::string Open(const std::string& name, const std::string& bytes) {
    std::string path = folder_.Path() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    Form().OpenSourceFile(path);
    return path;
  }
  // The editor's text as the screen shows it.
  QString Shown() { return scrivlet::gui::EditorTextToQt(Editor().Memo().Text()); }
  void CaretToEnd() { Editor().Memo().SetSelStart(Editor().Memo().CharCount()); }
  void Type(const QString& text) {
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(&Editor(), &key);
  }
  // What a dead key or a compose sequence hands the widget once it is complete.
  void Commit(const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(&Editor(), &event);
  }
  void Paste(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    Form().ClickMenuItem(main_menu::EditPasteMENUITM);
  }
  QString StatusLine() { return Form().StatusPanel2().text(); }

 protected:
  std::unique_ptr<gui::TEditorFRM> form_;
};

TEST_F(SourceCharactersTest, ASourceIsShownInItsEncodingAndSavedBackInIt) {
  struct Case {
    const char* label;
    std::string file;
    QString shown;
    std::string saved;  // after "ä" typed at the end
    bool told;          // one box says the file is shown as its bytes
  };
  const Case cases[] = {
      {"UTF-8", "; caf\xC3\xA9\r\n", QString::fromUtf16(u"; caf\u00e9\r\n"),
       "; caf\xC3\xA9\r\n\xC3\xA4", false},
      {"UTF-8, LF ends", "; Z\xC3\xA4hler \xC2\xB0\x43\n\tNOP \xE2\x82\xAC\n",
       QString::fromUtf16(u"; Z\u00e4hler \u00b0C\r\n\tNOP \u20ac\r\n"),
       "; Z\xC3\xA4hler \xC2\xB0\x43\r\n\tNOP \xE2\x82\xAC\r\n\xC3\xA4", false},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF; caf\xC3\xA9\r\n",
       QString::fromUtf16(u"; caf\u00e9\r\n"), "\xEF\xBB\xBF; caf\xC3\xA9\r\n\xC3\xA4", false},
      {"Windows-1252", "; Z\xE4hler \x80\r\n", QString::fromUtf16(u"; Z\u00e4hler \u20ac\r\n"),
       "; Z\xE4hler \x80\r\n\xE4", false},
      {"Latin-1", "; caf\xE9 \xB0\r\n", QString::fromUtf16(u"; caf\u00e9 \u00b0\r\n"),
       "; caf\xE9 \xB0\r\n\xE4", false},
      {"invalid UTF-8", "; \xC3(\xFF\r\n", QString::fromUtf16(u"; \u00c3(\u00ff\r\n"),
       "; \xC3(\xFF\r\n\xE4", false},
      {"ASCII", "; plain\r\n", QStringLiteral("; plain\r\n"), "; plain\r\n\xE4", false},
      {"UTF-8 beyond Windows-1252", "; \xE4\xB8\xAD\r\n",
       QString::fromUtf16(u"; \u00e4\u00b8\u00ad\r\n"), "; \xE4\xB8\xAD\r\n\xE4", true},
  };
  int file = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    boxes_.Clear();
    if (c.told) boxes_.Answer(platform::kAnswerOk);
    const std::string path = Open("source" + std::to_string(file++) + ".src", c.file);
    EXPECT_EQ(Shown(), c.shown);
    ASSERT_EQ(boxes_.Boxes().size(), c.told ? 1u : 0u);
    if (c.told) {
      EXPECT_EQ(boxes_.Boxes()[0].caption, "Characters Shown as Bytes");
    }
    CaretToEnd();
    Type(QString::fromUtf16(u"\u00e4"));
    Form().ClickMenuItem(main_menu::FileSaveMENUITM);
    EXPECT_EQ(ReadFile(path), c.saved);
    EXPECT_EQ(boxes_.Boxes().size(), c.told ? 1u : 0u) << "told once, at the load";
  }
}

TEST_F(SourceCharactersTest, TypedComposedAndPastedCharactersGoInAsWhatTheyAre) {
  struct Case {
    const char* label;
    void (SourceCharactersTest::*enter)(const QString&);
    QString character;
    QString status;  // empty: the character goes in
  };
  const Case cases[] = {
      {"dead acute, then e", &SourceCharactersTest::Commit, QString::fromUtf16(u"\u00e9"),
       QString()},
      {"compose = e", &SourceCharactersTest::Commit, QString::fromUtf16(u"\u20ac"), QString()},
      {"composed CJK", &SourceCharactersTest::Commit, QString::fromUtf16(u"\u4e2d"),
       QString::fromUtf16(u"The editor cannot hold the character \"\u4e2d\" (U+4E2D).")},
      {"typed", &SourceCharactersTest::Type, QString::fromUtf16(u"\u0153"), QString()},
      {"typed Cyrillic", &SourceCharactersTest::Type, QString::fromUtf16(u"\u0416"),
       QString::fromUtf16(u"The editor cannot hold the character \"\u0416\" (U+0416).")},
      {"pasted", &SourceCharactersTest::Paste, QString::fromUtf16(u"\u00e9"), QString()},
      {"pasted euro sign", &SourceCharactersTest::Paste, QString::fromUtf16(u"\u20ac"), QString()},
      {"pasted CJK", &SourceCharactersTest::Paste, QString::fromUtf16(u"a\u4e2d"),
       QString::fromUtf16(u"The editor cannot hold the character \"\u4e2d\" (U+4E2D).")},
  };
  Open("typed.src", "; \xC3\xA4\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Form().StatusLine("");
    const QString before = Shown();
    CaretToEnd();
    (this->*c.enter)(c.character);
    if (c.status.isEmpty()) {
      EXPECT_EQ(Shown(), before + c.character);
      EXPECT_EQ(StatusLine(), QString());
    } else {
      EXPECT_EQ(Shown(), before) << "refused whole";
      EXPECT_EQ(StatusLine(), c.status);
    }
  }
  // Then dead acute, e, Z typed "éZ".
  CaretToEnd();
  Commit(QString::fromUtf16(u"\u00e9"));
  Type("Z");
  EXPECT_TRUE(Shown().endsWith(QString::fromUtf16(u"\u00e9Z")));
}

TEST_F(SourceCharactersTest, CopyGivesOtherProgramsTheCharacters) {
  Open("copy.src", "; Z\xE4hler \x80\r\n");
  Editor().Memo().SelectAll();
  Form().ClickMenuItem(main_menu::EditCopyMENUITM);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf16(u"; Z\u00e4hler \u20ac\r\n"));
}

// The plain editor's clipboard: Windows-1252 in, Unicode out, and a text it cannot hold whole
// is no text, with the character named.
TEST(LegacyClipboardTest, TextTravelsAsUnicodeAndAnUnheldCharacterIsNamed) {
  gui::QtClipboard clipboard;
  char32_t refused = 0;
  clipboard.OnUnheldCharacter = [&](scrivlet::gui::UnheldCharacter c) { refused = c.character; };
  clipboard.SetFormats({{std::string(platform::kClipboardText), "; Z\xE4hler \x80"}});
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf16(u"; Z\u00e4hler \u20ac"));
  QGuiApplication::clipboard()->setText(QString::fromUtf16(u"\u00e9\u20ac"));
  EXPECT_FALSE(clipboard.RefusesText());
  EXPECT_EQ(clipboard.Format(platform::kClipboardText), "\xE9\x80");
  EXPECT_EQ(refused, 0u);
  QGuiApplication::clipboard()->setText(QString::fromUtf16(u"a\u4e2d"));
  EXPECT_TRUE(clipboard.RefusesText());
  EXPECT_EQ(refused, U'\u4e2d');
  EXPECT_EQ(clipboard.Format(platform::kClipboardText), std::nullopt);
}

}  // namespace
