#pragma once
// Fixed-width number fields (Iw, Iw.m, Fw.d, Ew.d, nX, literal text) for the
// engine's text output, and the free-format (list-directed) reading of input
// records. Every number the engine writes goes through these functions; they
// never depend on the locale.
//
// Field rules:
// - A value that does not fit its field prints as asterisks filling the field.
// - Fw.d and Ew.d always keep one position for the sign (a blank for a
//   positive value), so neighbouring fields never run together: F9.1 of
//   123456.7 is " 123456.7" and F9.1 of 1234567.8 is nine asterisks. When the
//   value needs the room, the optional leading zero of a value below one is
//   dropped (F4.2 of 0.5 is " .50").
// - Values are rounded half away from zero on their exact binary value
//   (F4.1 of 0.25 is " 0.3"; 0.1 is stored a little above 0.1).
// - A value that rounds to zero prints without a minus sign.
// - Ew.d prints 0.ddd, "E", the exponent's sign and two digits: E10.3 of
//   1234.5 is " 0.123E+04".
// - Iw.m prints at least m digits (leading zeros); Iw.0 of 0 is blanks.

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "units.h"

namespace pylar::engine {

std::string formatI(int width, long long value);
std::string formatI(int width, int minDigits, long long value);
std::string formatF(int width, int decimals, Real value);
// Fw.d appended to `out` (what Line::f writes).
void appendF(std::string& out, int width, int decimals, Real value);
// Fw.d from the whole decimal expansion of the value, the slow way that any
// quicker way of finding the digits must agree with.
std::string formatFFromExpansion(int width, int decimals, Real value);
std::string formatE(int width, int decimals, Real value);
// Ew.d appended to `out` (what Line::e writes, without a string of its own).
void appendE(std::string& out, int width, int decimals, Real value);
// Ew.d from the whole decimal expansion of the value, the slow way that any
// quicker way of finding the digits must agree with.
std::string formatEFromExpansion(int width, int decimals, Real value);
// Fw.d that widens instead of filling with asterisks: a value that fits
// prints exactly as formatF; one that does not takes the narrowest width
// that holds it, with a blank before it (F5.2 of 123.456 is " 123.46").
// For values the program accepts, whose report must show a number.
std::string formatFAtLeast(int width, int decimals, Real value);

// One output line built field by field:
//   Line().x(5).text("NUMBER OF LAYERS =").i(5, n).str()
// A line built as a temporary hands its text over (str() moves it), so a
// line pushed onto a list is never copied.
class Line {
 public:
  Line() { text_.reserve(kReserved); }
  Line& x(int blanks) &;
  Line& text(std::string_view literal) &;
  Line& i(int width, long long value) &;
  Line& i(int width, int minDigits, long long value) &;
  Line& f(int width, int decimals, Real value) &;
  Line& fw(int width, int decimals, Real value) &;  // formatFAtLeast
  Line& e(int width, int decimals, Real value) &;
  Line&& x(int blanks) && { return std::move(x(blanks)); }
  Line&& text(std::string_view literal) && { return std::move(text(literal)); }
  Line&& i(int width, long long value) && { return std::move(i(width, value)); }
  Line&& i(int width, int minDigits, long long value) && { return std::move(i(width, minDigits, value)); }
  Line&& f(int width, int decimals, Real value) && { return std::move(f(width, decimals, value)); }
  Line&& fw(int width, int decimals, Real value) && { return std::move(fw(width, decimals, value)); }
  Line&& e(int width, int decimals, Real value) && { return std::move(e(width, decimals, value)); }
  const std::string& str() const& { return text_; }
  std::string str() && { return std::move(text_); }
  operator std::string_view() const { return text_; }

 private:
  static constexpr std::size_t kReserved = 96;  // the longest lines of the files, at once
  std::string text_;
};

// Parses one free-format value. Accepts an optional sign, a decimal point
// with or without digits on either side and an exponent written with E or D.
// Rejects anything else, and values that are not finite in single precision.
std::optional<Real> parseReal(std::string_view token);
// Plain decimal integer with an optional sign, within the range of int.
std::optional<int> parseInteger(std::string_view token);

// The lines of a text without their ends (LF or CRLF); a line end at the very
// end of the text does not start another, empty line.
std::vector<std::string> splitLines(std::string_view text);

// Free-format reader of a text file, one record per read:
// - values are separated by blanks, tabs or commas;
// - every read starts on a new line; a line that holds more values than the
//   read needs is left with its remaining values unread;
// - a read that finds too few values on its line continues on the next ones
//   (blank lines are skipped);
// - a read of no values still consumes one line.
class ListReader {
 public:
  using LineSource = std::function<std::optional<std::string>()>;
  explicit ListReader(LineSource source) : source_(std::move(source)) {}
  // A reader over text held in memory (lines end with LF or CRLF).
  static ListReader fromText(std::string text);

  // The next line whole, without its line end; nullopt at the end of the file.
  std::optional<std::string> readLine();
  struct Token {
    std::string text;
    int line = 0;  // 1-based line of the file the value was found on
  };
  // Reads `count` values as text into `values`; false when the file ends
  // before all of them were found (`values` then holds those that were).
  bool readValues(std::size_t count, std::vector<Token>& values);
  // Number of lines consumed so far.
  int linesRead() const { return linesRead_; }

 private:
  LineSource source_;
  int linesRead_ = 0;
};

}  // namespace pylar::engine
