#include "fortran_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace pylar::engine {
namespace {

constexpr int kMaxDecimals = 60;  // more than a float has significant digits

std::string asterisks(int width) { return std::string(static_cast<std::size_t>(std::max(width, 0)), '*'); }

std::string rightAligned(int width, std::string_view text) {
  if (width <= 0) return {};
  if (static_cast<int>(text.size()) > width) return asterisks(width);
  std::string out(static_cast<std::size_t>(width) - text.size(), ' ');
  out += text;
  return out;
}

// Fits a signed real's text into a field that keeps one position for the
// sign. `body` is the unsigned text; it may start with an optional "0.".
std::string fitSigned(int width, bool negative, std::string body) {
  if (width <= 0) return {};
  auto fits = [&] { return static_cast<int>(body.size()) + 1 <= width; };
  if (!fits() && body.size() > 1 && body[0] == '0' && body[1] == '.') body.erase(0, 1);
  if (!fits()) return asterisks(width);
  return rightAligned(width, (negative ? "-" : "") + body);
}

bool allZeroDigits(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

std::string nonFinite(int width, Real value) {
  std::string_view text = std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
  return rightAligned(width, text);
}

// Rounds a digit string half away from zero after its first `keep` digits
// (adds one to the last kept digit when the next is 5 or more). True when the
// carry runs out of the front: every kept digit was 9 and is now 0.
bool roundHalfAwayAt(char* digits, std::size_t keep) {
  if (digits[keep] < '5') return false;
  for (std::size_t k = keep; k-- > 0;) {
    if (digits[k] != '9') {
      ++digits[k];
      return false;
    }
    digits[k] = '0';
  }
  return true;
}

}  // namespace

std::string formatI(int width, long long value) { return formatI(width, 1, value); }

std::string formatI(int width, int minDigits, long long value) {
  if (width <= 0) return {};
  minDigits = std::clamp(minDigits, 0, width);
  if (value == 0 && minDigits == 0) return std::string(static_cast<std::size_t>(width), ' ');
  char buf[32];
  // Magnitude as unsigned so that the most negative value is safe.
  unsigned long long magnitude =
      value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude);
  std::string digits(buf, end);
  if (static_cast<int>(digits.size()) < minDigits)
    digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
  return rightAligned(width, (value < 0 ? "-" : "") + digits);
}

// The exact decimal expansion of |value| as one digit string and the
// position of the decimal point in it. A float has at most 39 integer digits
// and 149 fraction digits, so the expansion is exact.
struct Digits {
  std::string digits;
  std::size_t point = 0;
};
Digits exactDigits(Real value) {
  char buf[256];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, 149);
  std::string_view text(buf, ec == std::errc() ? static_cast<std::size_t>(end - buf) : 0);
  Digits d;
  d.point = text.find('.');
  if (d.point == std::string_view::npos) d.point = text.size();
  for (char c : text)
    if (c != '.') d.digits += c;
  return d;
}

// Rounding half away from zero at a digit needs the exact digits up to the
// one after it, and no further. Where 128-bit integers exist, those digits
// come from floor(|value| x 10^scale) computed exactly from the float's
// mantissa and exponent, which is much quicker than the whole expansion;
// values or scales out of their reach take the whole expansion.
#if defined(__SIZEOF_INT128__)
__extension__ using Wide = unsigned __int128;
constexpr int kMaxWideScale = 38;  // 10^38 < 2^127

constexpr std::array<Wide, kMaxWideScale + 1> kPowersOfTen = [] {
  std::array<Wide, kMaxWideScale + 1> p{};
  p[0] = 1;
  for (std::size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * 10;
  return p;
}();

Wide powerOfTen(int n) { return kPowersOfTen[static_cast<std::size_t>(n)]; }

constexpr Wide kMax64 = ~std::uint64_t{0};

// |value| = significand x 2^exponent, read from the float's bits: 24 bits
// with the implicit one of a normal value, the fraction alone of a
// subnormal one.
struct BinaryParts {
  std::uint32_t significand;
  int exponent;
};
BinaryParts binaryParts(Real value) {
  static_assert(sizeof(Real) == sizeof(std::uint32_t) && std::numeric_limits<Real>::is_iec559);
  const auto bits = std::bit_cast<std::uint32_t>(std::fabs(value));
  const int biased = static_cast<int>(bits >> 23);
  const std::uint32_t fraction = bits & 0x7FFFFFU;
  if (biased == 0) return {fraction, -149};
  return {fraction | 0x800000U, biased - 150};
}

std::optional<Wide> scaledFloor(Real value, int scale) {
  if (scale > kMaxWideScale || scale < -kMaxWideScale) return std::nullopt;
  const BinaryParts parts = binaryParts(value);
  Wide a = parts.significand;
  const int e = parts.exponent;  // |value| = a 2^e
  if (e > 0) {
    if (e > 100) return std::nullopt;
    a <<= e;
  }
  const int shift = e < 0 ? -e : 0;
  if (scale >= 0) {
    const Wide p = powerOfTen(scale);
    // Two factors within 64 bits cannot overflow 128.
    if ((a > kMax64 || p > kMax64) && a != 0 && p > ~Wide(0) / a) return std::nullopt;
    a *= p;
    return shift >= 128 ? Wide(0) : a >> shift;
  }
  // floor(floor(a / 2^shift) / 10^-scale) = floor(a / (2^shift 10^-scale)).
  a = shift >= 128 ? Wide(0) : a >> shift;
  const Wide p = powerOfTen(-scale);
  // Within 64 bits the division is the machine's own, not a library call.
  if (a <= kMax64 && p <= kMax64) return Wide(static_cast<std::uint64_t>(a) / static_cast<std::uint64_t>(p));
  return a / p;
}

constexpr std::string_view kTwoDigits =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The decimal digits of n, ending at `end`; returns where they start.
char* decimalDigits(Wide n, char* end) {
  char* p = end;
  if (n <= 0xFFFFFFFFU) {  // most fields: two digits at a time in 32 bits
    auto small = static_cast<std::uint32_t>(n);
    for (; small >= 100; small /= 100) {
      p -= 2;
      std::copy_n(kTwoDigits.data() + 2 * (small % 100), 2, p);
    }
    if (small >= 10) {
      p -= 2;
      std::copy_n(kTwoDigits.data() + 2 * small, 2, p);
    } else {
      *--p = static_cast<char>('0' + small);
    }
    return p;
  }
  if (n <= kMax64) {
    auto small = static_cast<std::uint64_t>(n);
    do {
      *--p = static_cast<char>('0' + static_cast<int>(small % 10));
      small /= 10;
    } while (small != 0);
    return p;
  }
  do {
    *--p = static_cast<char>('0' + static_cast<int>(n % 10));
    n /= 10;
  } while (n != 0);
  return p;
}

// The first `count` significant digits of |value| > 0, cut, into `out`
// (count characters), and the exponent X of 0.d1d2... x 10^X. False when
// they are out of reach of 128-bit integers.
bool significantDigits(Real value, int count, char* out, int& exponent) {
  if (count > kMaxWideScale) return false;
  // |value| lies in [2^b, 2^(b+1)), so floor(log10 |value|) is floor(b log10 2)
  // or one more; floor(b log10 2) is (78913 b) >> 18 for |b| < 1650.
  const BinaryParts parts = binaryParts(value);
  const int b = parts.exponent + std::bit_width(parts.significand) - 1;
  int x = ((b * 78913) >> 18) + 1;
  auto n = scaledFloor(value, count - x);
  if (!n) return false;
  if (*n >= powerOfTen(count)) {  // one digit more: floor(floor(v 10^s) / 10) = floor(v 10^(s-1))
    *n = *n <= kMax64 ? Wide(static_cast<std::uint64_t>(*n) / 10) : *n / 10;
    ++x;
  }
  if (*n < powerOfTen(count - 1) || *n >= powerOfTen(count)) return false;  // not reached
  decimalDigits(*n, out + count);  // exactly count digits
  exponent = x;
  return true;
}
#else
bool significantDigits(Real, int, char*, int&) { return false; }
#endif

// Keeps the first `keep` digits, rounding half away from zero; returns true
// when the carry ran out of the front (the kept digits became 1000...).
bool roundDigits(std::string& digits, std::size_t keep) {
  digits.resize(std::max(digits.size(), keep + 1), '0');  // the digit after the kept ones decides
  const bool carry = roundHalfAwayAt(digits.data(), keep);
  digits.resize(keep);
  if (carry) digits.insert(digits.begin(), '1');
  return carry;
}

namespace {

// Fw.d from digits of |value| with the decimal point after `point` of them,
// at least one digit past the decimals kept (the digits may be the cut ones
// or the whole expansion).
std::string fixedFromDigits(int width, int decimals, Real value, std::string digits, std::size_t point) {
  if (roundDigits(digits, point + static_cast<std::size_t>(decimals))) ++point;
  std::string whole = digits.substr(0, point);
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));  // "0" stays for values below one
  std::string body = whole + "." + digits.substr(point);
  bool negative = std::signbit(value) && !allZeroDigits(body);
  return fitSigned(width, negative, std::move(body));
}

}  // namespace

std::string formatFFromExpansion(int width, int decimals, Real value) {
  if (!std::isfinite(value)) return nonFinite(width, value);
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  Digits d = exactDigits(value);
  return fixedFromDigits(width, decimals, value, std::move(d.digits), d.point);
}

void appendF(std::string& out, int width, int decimals, Real value) {
  if (!std::isfinite(value)) {
    out += nonFinite(width, value);
    return;
  }
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  const auto places = static_cast<std::size_t>(decimals) + 1;  // one past the kept decimals
#if defined(__SIZEOF_INT128__)
  const auto n = scaledFloor(value, static_cast<int>(places));
  if (!n) {
#endif
    Digits d = exactDigits(value);
    out += fixedFromDigits(width, decimals, value, std::move(d.digits), d.point);
    return;
#if defined(__SIZEOF_INT128__)
  }
  // floor(|value| 10^places): at least one digit before the point.
  char buffer[48 + kMaxDecimals + 4];
  char* const end = buffer + sizeof buffer;
  char* start = decimalDigits(*n, end);
  while (static_cast<std::size_t>(end - start) < places + 1) *--start = '0';
  // Round half away from zero at the last decimal kept; a carry out of the
  // front adds a digit before the point.
  std::size_t keep = static_cast<std::size_t>(end - start) - 1;
  if (roundHalfAwayAt(start, keep)) {
    *--start = '1';
    ++keep;
  }
  const std::size_t point = keep - static_cast<std::size_t>(decimals);
  std::size_t first = 0;  // leading zeros go; "0" stays for values below one
  while (first + 1 < point && start[first] == '0') ++first;
  const bool negative =
      std::signbit(value) && std::any_of(start + first, start + keep, [](char ch) { return ch >= '1' && ch <= '9'; });
  if (width <= 0) return;
  const auto w = static_cast<std::size_t>(width);
  std::size_t length = point - first + 1 + static_cast<std::size_t>(decimals);
  if (length + 1 > w && point - first == 1 && start[first] == '0') {  // no room for the sign: "0." loses its zero
    ++first;
    --length;
  }
  if (length + 1 > w) {
    out.append(w, '*');
    return;
  }
  out.append(w - length - (negative ? 1 : 0), ' ');
  if (negative) out += '-';
  out.append(start + first, start + point);
  out += '.';
  out.append(start + point, start + keep);
#endif
}

std::string formatF(int width, int decimals, Real value) {
  std::string out;
  appendF(out, width, decimals, value);
  return out;
}

namespace {

// The mantissa digits of Ew.d (decimals of them, rounded half away from
// zero) and the exponent, from the whole decimal expansion: any value, any
// number of decimals.
void expandedMantissa(Real value, int decimals, std::string& mantissa, int& exponent) {
  Digits d = exactDigits(value);
  std::size_t first = d.digits.find_first_not_of('0');
  exponent = static_cast<int>(d.point) - static_cast<int>(first);
  mantissa = d.digits.substr(first);
  if (roundDigits(mantissa, static_cast<std::size_t>(decimals))) {
    mantissa.pop_back();
    ++exponent;
  }
}

// Appends the field 0.mantissaE+xx, signed, right-aligned in `width`.
void appendEField(std::string& out, int width, bool negative, std::string_view mantissa, int exponent) {
  if (width <= 0) return;
  if (std::abs(exponent) > 99) {
    out.append(static_cast<std::size_t>(width), '*');
    return;
  }
  const auto w = static_cast<std::size_t>(width);
  std::size_t length = mantissa.size() + 6;  // "0." mantissa "E+xx"
  bool leadingZero = true;
  if (length + 1 > w) {  // no room for the sign: the leading zero goes
    leadingZero = false;
    --length;
  }
  if (length + 1 > w) {
    out.append(w, '*');
    return;
  }
  // The field grows the text once and is filled in place.
  const std::size_t at = out.size();
  out.resize(at + w, ' ');
  char* p = out.data() + at + (w - length - (negative ? 1 : 0));
  if (negative) *p++ = '-';
  if (leadingZero) *p++ = '0';
  *p++ = '.';
  p = std::copy(mantissa.begin(), mantissa.end(), p);
  const int e = std::abs(exponent);
  *p++ = 'E';
  *p++ = exponent < 0 ? '-' : '+';
  *p++ = static_cast<char>('0' + e / 10);
  *p = static_cast<char>('0' + e % 10);
}

}  // namespace

void appendE(std::string& out, int width, int decimals, Real value) {
  if (!std::isfinite(value)) {
    out += nonFinite(width, value);
    return;
  }
  decimals = std::clamp(decimals, 1, kMaxDecimals);
  const bool negative = std::signbit(value) && value != 0;
  const auto keep = static_cast<std::size_t>(decimals);
  char digits[kMaxDecimals + 2];
  int exponent = 0;
  if (value == 0) {
    std::fill(digits, digits + keep, '0');
  } else if (significantDigits(value, decimals + 1, digits, exponent)) {
    // Rounds half away from zero at the last kept digit; a carry out of the
    // front makes 0.100..0 x 10^(X+1).
    if (roundHalfAwayAt(digits, keep)) {
      digits[0] = '1';
      ++exponent;
    }
  } else {
    std::string mantissa;
    expandedMantissa(value, decimals, mantissa, exponent);
    appendEField(out, width, negative, mantissa, exponent);
    return;
  }
  appendEField(out, width, negative, std::string_view(digits, keep), exponent);
}

std::string formatE(int width, int decimals, Real value) {
  std::string out;
  appendE(out, width, decimals, value);
  return out;
}

std::string formatEFromExpansion(int width, int decimals, Real value) {
  if (!std::isfinite(value)) return nonFinite(width, value);
  decimals = std::clamp(decimals, 1, kMaxDecimals);
  std::string mantissa(static_cast<std::size_t>(decimals), '0');
  int exponent = 0;
  if (value != 0) expandedMantissa(value, decimals, mantissa, exponent);
  std::string out;
  appendEField(out, width, std::signbit(value) && value != 0, mantissa, exponent);
  return out;
}

Line& Line::x(int blanks) & {
  text_.append(static_cast<std::size_t>(std::max(blanks, 0)), ' ');
  return *this;
}
Line& Line::text(std::string_view literal) & {
  text_ += literal;
  return *this;
}
Line& Line::i(int width, long long value) & {
  text_ += formatI(width, value);
  return *this;
}
Line& Line::i(int width, int minDigits, long long value) & {
  text_ += formatI(width, minDigits, value);
  return *this;
}
std::string formatFAtLeast(int width, int decimals, Real value) {
  std::string text = formatF(width, decimals, value);
  if (!std::isfinite(value) || text.find('*') == std::string::npos) return text;
  // The narrowest field that holds the number (a float has at most 39
  // integer digits), then a blank before it so that it never touches the
  // field before it.
  constexpr int kWidest = 48 + kMaxDecimals;
  for (int w = width + 1; w <= kWidest; ++w) {
    text = formatF(w, decimals, value);
    if (text.find('*') == std::string::npos) return text.front() == ' ' ? text : ' ' + text;
  }
  return text;
}

Line& Line::f(int width, int decimals, Real value) & {
  appendF(text_, width, decimals, value);
  return *this;
}
Line& Line::fw(int width, int decimals, Real value) & {
  const std::size_t before = text_.size();
  appendF(text_, width, decimals, value);
  if (text_.find('*', before) != std::string::npos) {  // rare: the widening field
    text_.resize(before);
    text_ += formatFAtLeast(width, decimals, value);
  }
  return *this;
}
Line& Line::e(int width, int decimals, Real value) & {
  appendE(text_, width, decimals, value);
  return *this;
}

std::optional<Real> parseReal(std::string_view token) {
  if (!token.empty() && token[0] == '+') token.remove_prefix(1);
  if (token.empty() || token.size() > 64) return std::nullopt;
  // Only digits, one point, a sign and an exponent letter may appear; this
  // also keeps out the "inf" and "nan" spellings that from_chars accepts.
  std::string text(token);
  for (char& c : text) {
    if (c == 'd' || c == 'D') c = 'E';
    bool allowed = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    if (!allowed) return std::nullopt;
  }
  Real value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> parseInteger(std::string_view token) {
  if (!token.empty() && token[0] == '+') token.remove_prefix(1);
  if (token.empty()) return std::nullopt;
  int value = 0;
  auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (ec != std::errc() || end != token.data() + token.size()) return std::nullopt;
  return value;
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

ListReader ListReader::fromText(std::string text) {
  auto lines = std::make_shared<std::vector<std::string>>(splitLines(text));
  auto next = std::make_shared<std::size_t>(0);
  return ListReader([lines, next]() -> std::optional<std::string> {
    if (*next >= lines->size()) return std::nullopt;
    return (*lines)[(*next)++];
  });
}

std::optional<std::string> ListReader::readLine() {
  auto line = source_();
  if (line) ++linesRead_;
  return line;
}

bool ListReader::readValues(std::size_t count, std::vector<Token>& values) {
  values.clear();
  bool first = true;
  while (first || values.size() < count) {
    first = false;
    auto line = readLine();
    if (!line) return false;
    std::size_t pos = 0;
    while (values.size() < count) {
      pos = line->find_first_not_of(" \t\r,", pos);
      if (pos == std::string::npos) break;
      std::size_t end = line->find_first_of(" \t\r,", pos);
      if (end == std::string::npos) end = line->size();
      values.push_back({line->substr(pos, end - pos), linesRead_});
      pos = end;
    }
  }
  return true;
}

}  // namespace pylar::engine
