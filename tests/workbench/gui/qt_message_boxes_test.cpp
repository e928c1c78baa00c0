#include "workbench/gui/qt_message_boxes.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "resources/string_ids.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "tests/services/gui/modal_answerer.h"

namespace {

using platform::BoxButtons;
using testing_gui::AnswerNextBox;
using testing_gui::SeenBox;

class QtMessageBoxesTest : public ::testing::Test {
 protected:
  int Show(const std::string& text, const std::string& caption,
           BoxButtons buttons = BoxButtons::Ok) {
    return boxes_.Show({text, caption, buttons});
  }
  gui::QtMessageBoxes boxes_;
};

TEST_F(QtMessageBoxesTest, OkBoxShowsPlainTextWithLineBreaksAndAnswersOk) {
  SeenBox seen;
  AnswerNextBox(QMessageBox::Ok, &seen);
  EXPECT_EQ(Show("first\rsecond <b>not bold</b>", "Caption"), platform::kAnswerOk);
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.title, "Caption");
  EXPECT_EQ(seen.text, "first\nsecond <b>not bold</b>");
  EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST_F(QtMessageBoxesTest, AnswersAreNumberedAsTheCallersCompareThem) {
  struct Case {
    BoxButtons buttons;
    QMessageBox::StandardButton press;
    int answer;
  };
  const Case cases[] = {
      {BoxButtons::YesNo, QMessageBox::Yes, platform::kAnswerYes},
      {BoxButtons::YesNo, QMessageBox::No, platform::kAnswerNo},
      {BoxButtons::YesNoCancel, QMessageBox::Cancel, platform::kAnswerCancel},
      {BoxButtons::YesNoCancel, QMessageBox::No, platform::kAnswerNo},
      {BoxButtons::OkCancel, QMessageBox::Cancel, platform::kAnswerCancel},
  };
  for (const Case& c : cases) {
    AnswerNextBox(c.press, nullptr);
    EXPECT_EQ(Show("q", "c", c.buttons), c.answer);
  }
}

TEST_F(QtMessageBoxesTest, EachKindOfBoxShowsItsIconAndAbortIsItsOwnButton) {
  struct Case {
    platform::BoxKind kind;
    BoxButtons buttons;
    QMessageBox::Icon icon;
    QMessageBox::StandardButton press;
    int answer;
  };
  const Case cases[] = {
      {platform::BoxKind::Plain, BoxButtons::Ok, QMessageBox::NoIcon, QMessageBox::Ok,
       platform::kAnswerOk},
      {platform::BoxKind::Information, BoxButtons::Ok, QMessageBox::Information, QMessageBox::Ok,
       platform::kAnswerOk},
      {platform::BoxKind::Warning, BoxButtons::Ok, QMessageBox::Warning, QMessageBox::Ok,
       platform::kAnswerOk},
      {platform::BoxKind::Error, BoxButtons::Abort, QMessageBox::Critical, QMessageBox::Abort,
       platform::kAnswerAbort},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    QMessageBox::Icon icon = QMessageBox::Question;
    QMessageBox::StandardButtons shown;
    auto* timer = new QTimer(qApp);
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, [timer, &icon, &shown, press = c.press] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      timer->stop();
      timer->deleteLater();
      icon = box->icon();
      shown = box->standardButtons();
      if (const char* folder = std::getenv("QV_SCREENSHOT_DIR"))
        box->grab().save(QString(folder) + "/box_" + QString::number(static_cast<int>(icon)) +
                         ".png");
      if (QAbstractButton* b = box->button(press))
        b->click();
      else
        box->reject();
    });
    timer->start();
    platform::BoxRequest request{"text", "caption", c.buttons};
    request.kind = c.kind;
    EXPECT_EQ(boxes_.Show(request), c.answer);
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(shown, QMessageBox::StandardButtons(c.press));
  }
}

// A frame narrower than its caption cuts it ("QV/B Com… r Update"): a box with a short text
// is still as wide as its caption's text and the frame's buttons beside it.
TEST_F(QtMessageBoxesTest, ABoxIsAsWideAsItsCaption) {
  QFont bold = QApplication::font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  for (const char* caption :
       {"QV/B Compiler Update", "Find and Replace", "QVKey <-> PC Communication Error",
        "Case Sensitive Find and Replace"}) {
    SeenBox seen;
    AnswerNextBox(QMessageBox::Ok, &seen);
    Show("Done.", caption);
    ASSERT_TRUE(seen.seen) << caption;
    EXPECT_GE(seen.width, metrics.horizontalAdvance(caption) + 3 * metrics.height()) << caption;
  }
}

TEST_F(QtMessageBoxesTest, ABoxWithoutCaptionIsAsWideAsTheProgramsNameItShows) {
  QFont bold = QApplication::font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  const QString name = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName("QV-Key v3.2.3");
  SeenBox seen;
  AnswerNextBox(QMessageBox::Ok, &seen);
  Show("Nothing Found", "");
  QCoreApplication::setApplicationName(name);
  ASSERT_TRUE(seen.seen);
  EXPECT_GE(seen.width, metrics.horizontalAdvance("QV-Key v3.2.3") + 3 * metrics.height());
}

TEST_F(QtMessageBoxesTest, BoxByIdReachesTheScreenWithItsTableTexts) {
  workbench::Localizer texts;
  texts.InitLocalization("/opt/qvkey");
  const workbench::MessageStrings strings(texts, boxes_);
  SeenBox seen;
  AnswerNextBox(QMessageBox::No, &seen);
  EXPECT_EQ(strings.YesNoBoxById1(string_ids::EditorUnit::SCU_NEWER_ON_DISK,
                                  string_ids::EditorUnit::SCU_NEWER_ON_DISK_CAPTION,
                                  "C:\\src\\a.src"),
            platform::kAnswerNo);
  EXPECT_EQ(seen.title, "File Load Warning");
  EXPECT_EQ(seen.text,
            "There is a newer version on disk of:\n\nC:\\src\\a.src\n\nLoad the new version?");
  EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
}

// The key's worker reports a failed run from its own thread: the box must be made and run by
// the UI thread (a widget made elsewhere is a crash), and the worker gets the user's answer.
TEST_F(QtMessageBoxesTest, BoxFromAnotherThreadIsShownByTheUiThreadAndAnswered) {
  // The watch comes first so that it sees the box before the answer closes it.
  QThread* box_thread = nullptr;
  auto* watch = new QTimer(qApp);
  watch->setInterval(1);
  QObject::connect(watch, &QTimer::timeout, [watch, &box_thread] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      box_thread = box->thread();
      watch->stop();
      watch->deleteLater();
    }
  });
  watch->start();
  SeenBox seen;
  AnswerNextBox(QMessageBox::No, &seen);

  std::atomic<int> answer{0};
  QEventLoop loop;
  std::thread worker([&] {
    answer = Show("Programming failed.", "Key Error", BoxButtons::YesNo);
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  loop.exec();
  worker.join();

  EXPECT_EQ(answer, platform::kAnswerNo);
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.text, "Programming failed.");
  EXPECT_EQ(box_thread, qApp->thread());
}

// After the event loop has ended nobody can answer: a worker still running at shut-down must
// not wait for ever for a box, so it gets the answer of a box closed without a button.
TEST(QtMessageBoxesAfterLoop, BoxFromAnotherThreadAfterTheLoopEndedIsAnsweredAsClosed) {
  gui::QtMessageBoxes boxes;
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  qApp->exec();
  const struct {
    BoxButtons buttons;
    int answer;
  } cases[] = {
      {BoxButtons::Ok, platform::kAnswerOk},
      {BoxButtons::OkCancel, platform::kAnswerCancel},
      {BoxButtons::YesNo, platform::kAnswerNo},
      {BoxButtons::YesNoCancel, platform::kAnswerCancel},
  };
  for (const auto& c : cases) {
    int answer = 0;
    const auto start = std::chrono::steady_clock::now();
    std::thread worker([&] {
      answer = boxes.Show({"Cannot write to port", "Link Error", c.buttons});
    });
    worker.join();
    EXPECT_EQ(answer, c.answer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  }
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
