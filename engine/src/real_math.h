#pragma once
// The engine's transcendental functions. Each is evaluated in double and
// rounded once to Real: the single-precision functions of the C runtimes
// (powf, expf, tanf, ... and the float overloads of std::pow and the others)
// differ in the last bit between glibc and MinGW-w64's runtime for some
// arguments, while the double functions rounded to float agree, so a run
// prints the same digits on Linux and on Windows. std::sqrt is correctly
// rounded on every platform and is used directly. The engine calls no other
// transcendental function (engine/tests/real_math_test.cpp checks the
// sources).

#include <cmath>

#include "units.h"

namespace pylar::engine::math {

inline Real once(double v) { return static_cast<Real>(v); }

inline Real pow(Real x, Real y) { return once(std::pow(static_cast<double>(x), static_cast<double>(y))); }
inline Real exp(Real x) { return once(std::exp(static_cast<double>(x))); }
inline Real log(Real x) { return once(std::log(static_cast<double>(x))); }
inline Real log10(Real x) { return once(std::log10(static_cast<double>(x))); }
inline Real sin(Real x) { return once(std::sin(static_cast<double>(x))); }
inline Real tan(Real x) { return once(std::tan(static_cast<double>(x))); }
inline Real atan(Real x) { return once(std::atan(static_cast<double>(x))); }
inline Real tanh(Real x) { return once(std::tanh(static_cast<double>(x))); }

}  // namespace pylar::engine::math
