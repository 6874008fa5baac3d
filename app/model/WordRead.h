// Whole-file word reader of the project file and the plot-data file: the file
// is read at once, each line keeps its text and is split into words at blanks
// and tabs; numbers are taken word by word across line ends.
#pragma once

#include "DataEdit.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace pylar {

// Every reading failure (file missing, file ending early, a word that is not
// the expected number): one class, so callers catch them together.
class EInOutError : public EPylarError {
 public:
  using EPylarError::EPylarError;
};

class TWordReader {
 public:
  // Reads the whole file; EInOutError when it cannot be opened.
  explicit TWordReader(const QString &path);
  // Reads text held in memory (tests, files already loaded).
  static TWordReader FromData(const QByteArray &data);

  // The next word as a number with "." as decimal separator.
  Extended ReadFloat();
  // The next word as a whole number within the 32-bit range ("3.0" is 3).
  int ReadInteger();
  // The same, further limited to [minimum, maximum].
  int ReadInteger(int minimum, int maximum);
  // The unsplit rest of the current line; moves to the start of the next one.
  QString ReadLine();

  bool Eof() const;
  // Words of the line that holds the last word read.
  int CurrentLineWordCount() const;
  // Words of that line not read yet.
  int WordsLeftOnLine() const;
  // 1-based number of the line that holds the last word read.
  int LineNumber() const { return fLine + 1; }

  static QString IncompleteMessage();

  // The lines after the one that holds the last word read, each with its
  // 1-based number: what follows the records of a file.
  struct TNumberedLine {
    int number;
    QString text;
  };
  std::vector<TNumberedLine> LinesAfterCurrent() const;

 private:
  TWordReader() = default;
  struct Word {
    qsizetype start;
    qsizetype length;
  };
  struct Line {
    QString text;
    std::vector<Word> words;
  };
  void load(const QByteArray &data);
  // The next word; moves past used-up lines; EInOutError at the end of the file.
  QString nextWord();
  [[noreturn]] void expected(const char *what) const;

  std::vector<Line> fLines;
  int fLine = 0;  // current line
  int fWord = 0;  // next word within it
};

// The whole of a file the word reader reads (a project or plot-data file);
// EInOutError when it cannot be opened or is far larger than any such file.
QByteArray ReadWholeFile(const QString &path);

// Converts one word as the reader does: "." as separator, whole word, finite.
bool ParseFileNumber(const QString &word, Extended &value);

}  // namespace pylar
