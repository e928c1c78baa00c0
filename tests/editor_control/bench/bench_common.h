#pragma once
// What the editor benchmarks share: the 10 MB assembly source, the font, the heap reading,
// and the baseline's highlighter, a QSyntaxHighlighter applying our rules (keywords as
// whole words without regard to case, ";" comments to the line end, quoted strings that
// end at their quote or, by choice, the line end).

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>

#include <QColor>
#include <QFont>
#include <QRegularExpression>
#include <QStringList>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTextDocument>
#include <string>
#include <utility>
#include <vector>

#include "editor_control/scrivlet.h"

namespace bench {

inline const char* const kMnemonics[] = {
    "MOVWF",  "MOVF",  "MOVLW",  "ADDWF", "ANDWF",  "CLRF", "CLRW",   "COMF",  "DECF",
    "DECFSZ", "INCF",  "INCFSZ", "IORWF", "RLF",    "RRF",  "SUBWF",  "SWAPF", "XORWF",
    "BCF",    "BSF",   "BTFSC",  "BTFSS", "ANDLW",  "CALL", "CLRWDT", "GOTO",  "IORLW",
    "RETLW",  "SLEEP", "XORLW",  "NOP",   "OPTION", "TRIS", "EQU",    "ORG",   "END"};

// An assembly source of at least `bytes` bytes. Its RETLW string holds `retlw_text`: with a
// ";" in it, a string opened by an unmatched quote ends in a comment a few lines further on;
// without, every string behind the quote turns inside out to the text's end.
inline std::string AsmSource(size_t bytes, const std::string& retlw_text = "text; not a comment") {
  std::string s;
  s.reserve(bytes + 256);
  for (int i = 0; s.size() < bytes; ++i) {
    s += "label" + std::to_string(i) + ":\tMOVLW\t0x" + std::to_string(i % 256) +
         "\t; load the count\r\n";
    s += "\tMOVWF\tPORTB\r\n\tDECFSZ\tcount,F\t; \"quoted\" in a comment\r\n";
    s += "\tRETLW\t\"" + retlw_text + "\"\r\n\tgoto\tlabel" + std::to_string(i) + "\r\n";
  }
  return s;
}

inline const std::string& TenMegabyteSource() {
  static const std::string text = AsmSource(10u * 1024 * 1024);
  return text;
}

inline QFont BenchFont() { return QFont("DejaVu Sans Mono", 10); }

inline size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

// How far a string with no closing quote reaches: to its line's end, or on over the lines
// behind it up to the next quote (as the IDE's editors have it).
enum class Strings { EndAtLineEnd, RunOverLines };

// Our control's rules: the same keywords bold, comments and strings.
inline void AddAsmRules(scrivlet::TScrivlet& s, Strings strings = Strings::EndAtLineEnd) {
  for (const char* k : kMnemonics)
    s.Keywords.AddKeyword(k, scrivlet::kWholeWord, scrivlet::kStyleBold, 1, 0, scrivlet::kNoColor,
                          0x800000);
  s.StartStopKeys.AddStartStopKey("\"", "\"", 0, 0, 3, 0, scrivlet::kNoColor, 0x008000,
                                  strings == Strings::EndAtLineEnd);
  s.StartStopKeys.AddStartStopKey(";", "", 0, 0, 2, 0, scrivlet::kNoColor, 0x808080, true);
}

class AsmHighlighter : public QSyntaxHighlighter {
 public:
  explicit AsmHighlighter(QTextDocument* doc, Strings strings = Strings::EndAtLineEnd)
      : QSyntaxHighlighter(doc), strings_(strings) {
    QStringList words;
    for (const char* k : kMnemonics) words << k;
    keywords_ = QRegularExpression("\\b(" + words.join('|') + ")\\b",
                                   QRegularExpression::CaseInsensitiveOption);
    keyword_.setForeground(QColor(0x80, 0, 0));
    keyword_.setFontWeight(QFont::Bold);
    comment_.setForeground(Qt::gray);
    string_.setForeground(QColor(0, 0x80, 0));
  }

 protected:
  void highlightBlock(const QString& text) override {
    // Strings and comments first, left to right; keywords only outside them.
    qsizetype free = 0;
    std::vector<std::pair<qsizetype, qsizetype>> open;  // text outside sections
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool string_open = false;  // at the block's end
    auto string = [&](qsizetype from, qsizetype search_from) {
      qsizetype end = text.indexOf('"', search_from);
      string_open = end < 0 && strings_ == Strings::RunOverLines;
      end = end < 0 ? n : end + 1;
      setFormat(static_cast<int>(from), static_cast<int>(end - from), string_);
      return end;
    };
    if (previousBlockState() == kInString) i = free = string(0, 0);
    while (i < n) {
      const QChar c = text[i];
      if (c == '"') {
        open.push_back({free, i});
        i = free = string(i, i + 1);
      } else if (c == ';') {
        open.push_back({free, i});
        setFormat(static_cast<int>(i), static_cast<int>(n - i), comment_);
        i = free = n;
      } else {
        ++i;
      }
    }
    setCurrentBlockState(string_open ? kInString : 0);
    if (free < n) open.push_back({free, n});
    for (const auto& [a, b] : open) {
      auto it = keywords_.globalMatch(text.mid(a, b - a));
      while (it.hasNext()) {
        const auto m = it.next();
        setFormat(static_cast<int>(a + m.capturedStart()), static_cast<int>(m.capturedLength()),
                  keyword_);
      }
    }
  }

 private:
  static constexpr int kInString = 1;
  Strings strings_;
  QRegularExpression keywords_;
  QTextCharFormat keyword_, comment_, string_;
};

// The benchmark programs' main: Qt offscreen unless the environment chooses a platform.
inline int RunBenchmarks(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
