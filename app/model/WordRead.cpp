#include "WordRead.h"

#include <QFile>
#include <QStringDecoder>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <charconv>
#include <cmath>

namespace pylar {

namespace {

bool isSeparator(QChar c) { return c == ' ' || c == '\t'; }

// Far larger than any project or plot-data file the program writes (the
// engine's largest plot data is about 20 MB). Reading on would only exhaust
// memory, or never end on a device that has no end.
constexpr qint64 kMaxFileSize = qint64(64) * 1024 * 1024;

// Project files are written as UTF-8; older files in the Windows code page are
// taken byte for byte.
QString decodeText(const QByteArray &data) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(data);
  if (utf8.hasError()) text = QString::fromLatin1(data);
  return text;
}

bool isPipe(const QString &path) {
#if defined(_WIN32)
  (void)path;
  return false;
#else
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
#endif
}

}  // namespace

bool ParseFileNumber(const QString &word, Extended &value) {
  QByteArray bytes = word.toLatin1();
  if (word.isEmpty() || bytes.size() != word.size() || bytes.size() > 400) return false;
  const char *first = bytes.constData();
  const char *last = first + bytes.size();
  // A leading "+" is accepted, a second sign is not.
  if (*first == '+') {
    ++first;
    if (first == last || *first == '-' || *first == '+') return false;
  }
  // Only digits, signs, "." and exponents: no "inf", "nan" or hexadecimal.
  for (const char *p = first; p != last; ++p) {
    const char c = *p;
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  }
  Extended parsed = 0;
  const auto result = std::from_chars(first, last, parsed, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

QByteArray ReadWholeFile(const QString &path) {
  // A pipe would keep the reader waiting for a writer, or reading, for ever
  // (an endless device is cut off by the size limit below).
  if (isPipe(path)) throw EInOutError(QStringLiteral("Cannot open the file %1: it is a pipe").arg(path));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw EInOutError(QStringLiteral("Cannot open the file %1: %2").arg(path, file.errorString()));
  const QByteArray data = file.read(kMaxFileSize + 1);
  if (data.size() > kMaxFileSize)
    throw EInOutError(QStringLiteral("The file %1 is larger than %2 MB: it is not a file of this program.")
                          .arg(path)
                          .arg(kMaxFileSize / (1024 * 1024)));
  return data;
}

TWordReader::TWordReader(const QString &path) { load(ReadWholeFile(path)); }

TWordReader TWordReader::FromData(const QByteArray &data) {
  TWordReader reader;
  reader.load(data);
  return reader;
}

void TWordReader::load(const QByteArray &data) {
  const QString text = decodeText(data);
  qsizetype begin = 0;
  while (begin < text.size()) {
    qsizetype end = text.indexOf('\n', begin);
    if (end < 0) end = text.size();
    qsizetype stop = end;
    if (stop > begin && text[stop - 1] == '\r') --stop;
    Line line;
    line.text = text.mid(begin, stop - begin);
    for (qsizetype i = 0; i < line.text.size();) {
      while (i < line.text.size() && isSeparator(line.text[i])) ++i;
      const qsizetype start = i;
      while (i < line.text.size() && !isSeparator(line.text[i])) ++i;
      if (i > start) line.words.push_back({start, i - start});
    }
    fLines.push_back(std::move(line));
    begin = end + 1;
  }
}

QString TWordReader::IncompleteMessage() { return QStringLiteral("This file either invalid or incomplete."); }

bool TWordReader::Eof() const {
  return fLine >= static_cast<int>(fLines.size()) ||
         (fLine == static_cast<int>(fLines.size()) - 1 &&
          fWord >= static_cast<int>(fLines.back().words.size()) && fWord > 0);
}

QString TWordReader::nextWord() {
  while (fLine < static_cast<int>(fLines.size()) &&
         fWord >= static_cast<int>(fLines[static_cast<size_t>(fLine)].words.size())) {
    ++fLine;
    fWord = 0;
  }
  if (fLine >= static_cast<int>(fLines.size())) {
    fLine = static_cast<int>(fLines.size()) - 1;  // keep pointing at the last line
    fWord = fLine >= 0 ? static_cast<int>(fLines[static_cast<size_t>(fLine)].words.size()) : 0;
    if (fLine < 0) fLine = 0;
    throw EInOutError(IncompleteMessage());
  }
  const Line &line = fLines[static_cast<size_t>(fLine)];
  const Word &word = line.words[static_cast<size_t>(fWord++)];
  return line.text.mid(word.start, word.length);
}

void TWordReader::expected(const char *what) const {
  throw EInOutError(QStringLiteral("Error on Line %1 Item %2\r%3").arg(fLine + 1).arg(fWord).arg(QLatin1String(what)));
}

Extended TWordReader::ReadFloat() {
  Extended value = 0;
  if (!ParseFileNumber(nextWord(), value)) expected("A floating point number was expected but not found.");
  return value;
}

int TWordReader::ReadInteger() {
  Extended value = 0;
  if (!ParseFileNumber(nextWord(), value) || value != std::trunc(value) || value < -2147483648.0L ||
      value > 2147483647.0L)
    expected("An integer was expected but not found.");
  return static_cast<int>(value);
}

int TWordReader::ReadInteger(int minimum, int maximum) {
  const int value = ReadInteger();
  if (value < minimum || value > maximum)
    throw EInOutError(QStringLiteral("Error on Line %1 Item %2\rAn integer between %3 and %4 was expected but not found.")
                          .arg(fLine + 1)
                          .arg(fWord)
                          .arg(minimum)
                          .arg(maximum));
  return value;
}

QString TWordReader::ReadLine() {
  if (fLine >= static_cast<int>(fLines.size())) throw EInOutError(IncompleteMessage());
  const Line &line = fLines[static_cast<size_t>(fLine)];
  qsizetype from = 0;
  if (fWord > 0) {
    const Word &last = line.words[static_cast<size_t>(fWord - 1)];
    from = last.start + last.length;
  }
  const QString rest = line.text.mid(from);
  ++fLine;
  fWord = 0;
  return rest;
}

int TWordReader::CurrentLineWordCount() const {
  if (fLine >= static_cast<int>(fLines.size())) return 0;
  return static_cast<int>(fLines[static_cast<size_t>(fLine)].words.size());
}

std::vector<TWordReader::TNumberedLine> TWordReader::LinesAfterCurrent() const {
  std::vector<TNumberedLine> lines;
  // After ReadLine nothing of the current line has been read yet.
  for (int k = fWord == 0 ? fLine : fLine + 1; k < static_cast<int>(fLines.size()); ++k)
    lines.push_back({k + 1, fLines[static_cast<size_t>(k)].text});
  return lines;
}

int TWordReader::WordsLeftOnLine() const { return std::max(CurrentLineWordCount() - fWord, 0); }

}  // namespace pylar
