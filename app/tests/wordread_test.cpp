// The word reader: numbers word by word across line ends, the rest of a line
// as text, word counts, and the exact texts of its three errors.
#include "model/WordRead.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace std::literals;

namespace pylar {
namespace {

const QString kIncomplete = QStringLiteral("This file either invalid or incomplete.");
QString floatError(int line, int item) {
  return QStringLiteral("Error on Line %1 Item %2\rA floating point number was expected but not found.")
      .arg(line)
      .arg(item);
}
QString integerError(int line, int item) {
  return QStringLiteral("Error on Line %1 Item %2\rAn integer was expected but not found.").arg(line).arg(item);
}

// Runs reads until one fails; returns the values read (as text) and the error.
struct Outcome {
  QStringList values;
  QString error;
};
Outcome run(const QByteArray &data, const QString &ops) {
  TWordReader reader = TWordReader::FromData(data);
  Outcome out;
  try {
    for (QChar op : ops) {
      if (op == 'f')
        out.values << FormatValueC(reader.ReadFloat());
      else if (op == 'i')
        out.values << QString::number(reader.ReadInteger());
      else if (op == 'l')
        out.values << QStringLiteral("[%1]").arg(reader.ReadLine());
      else if (op == 'c')
        out.values << QStringLiteral("#%1").arg(reader.CurrentLineWordCount());
    }
  } catch (const EInOutError &e) {
    out.error = e.message();
  }
  return out;
}

TEST(WordReader, ReadsWordsAcrossLinesAndReportsTheOffendingWord) {
  struct Case {
    std::string_view data;
    const char *ops;
    QStringList values;
    QString error;
  };
  const Case cases[] = {
      {"1.5 2\r\n3", "fii", {"1.5", "2", "3"}, {}},
      {"1.5 2\r\n3", "fiif", {"1.5", "2", "3"}, kIncomplete},
      {"", "l", {}, kIncomplete},
      {"", "f", {}, kIncomplete},
      {"\r\n\r\n  \t \r\n", "i", {}, kIncomplete},
      // LF and CRLF lines, tabs and runs of blanks; blank lines are skipped.
      {"\t1\t 2\n\n  3.25e1  \r\n", "iif", {"1", "2", "32.5"}, {}},
      {"1 2 x", "iif", {"1", "2"}, floatError(1, 3)},
      {"1\r\n2 2.5", "iii", {"1", "2"}, integerError(2, 2)},
      {"3.0 -2147483648 2147483647", "iii", {"3", "-2147483648", "2147483647"}, {}},
      {"2147483648", "i", {}, integerError(1, 1)},
      {"1e3 +4 -0.5 .5", "iiff", {"1000", "4", "-0.5", "0.5"}, {}},
      {"nan", "f", {}, floatError(1, 1)},
      {"inf", "f", {}, floatError(1, 1)},
      {"1e5000", "f", {}, floatError(1, 1)},
      {"0x10", "f", {}, floatError(1, 1)},
      {"1,5", "f", {}, floatError(1, 1)},
      {"+-1", "f", {}, floatError(1, 1)},
      {"1.5.2", "f", {}, floatError(1, 1)},
      {"\x01\xff\xfe\x00 7"sv, "f", {}, floatError(1, 1)},
      // The title: the whole first line; then the rest of a line after its last word read.
      {"  A title,  with blanks \r\n1 2 3\r\n4", "licli", {"[  A title,  with blanks ]", "1", "#3", "[ 2 3]", "4"}, {}},
      {"only a title", "li", {"[only a title]"}, kIncomplete},
  };
  for (const Case &c : cases) {
    const QByteArray data(c.data.data(), static_cast<qsizetype>(c.data.size()));
    const Outcome out = run(data, QString::fromLatin1(c.ops));
    EXPECT_EQ(out.values, c.values) << data.toStdString();
    EXPECT_EQ(out.error, c.error) << data.toStdString();
  }
}

TEST(WordReader, CountsTheWordsOfTheLineOfTheLastWordRead) {
  TWordReader reader = TWordReader::FromData("1 2 3 4\r\n5 6\r\n");
  reader.ReadInteger();
  EXPECT_EQ(reader.CurrentLineWordCount(), 4);
  EXPECT_EQ(reader.WordsLeftOnLine(), 3);
  reader.ReadInteger();
  reader.ReadInteger();
  reader.ReadInteger();
  EXPECT_EQ(reader.WordsLeftOnLine(), 0);
  EXPECT_FALSE(reader.Eof());
  EXPECT_EQ(reader.ReadInteger(), 5);
  EXPECT_EQ(reader.CurrentLineWordCount(), 2);
  EXPECT_EQ(reader.LineNumber(), 2);
  reader.ReadInteger();
  EXPECT_TRUE(reader.Eof());
}

TEST(WordReader, RangeCheckedIntegersNameTheRange) {
  TWordReader reader = TWordReader::FromData("5 12");
  EXPECT_EQ(reader.ReadInteger(1, 9), 5);
  try {
    reader.ReadInteger(1, 9);
    FAIL() << "12 accepted";
  } catch (const EInOutError &e) {
    EXPECT_EQ(e.message(), QStringLiteral("Error on Line 1 Item 2\rAn integer between 1 and 9 was expected but not found."));
  }
}

TEST(WordReader, MissingFileIsAnInputOutputError) {
  EXPECT_THROW(TWordReader(QStringLiteral("/nonexistent/folder/project.pq8d")), EInOutError);
}

}  // namespace
}  // namespace pylar
