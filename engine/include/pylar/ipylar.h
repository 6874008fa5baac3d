#pragma once
// The engine library's one export. IPYLAR(2) runs one analysis from the
// run-control file names.dat in the current folder and returns the status;
// any other argument returns 1 and touches no file.

#include <cstdint>

#if defined(_WIN32)
#  if defined(PYLAR_BUILDING_DLL)
#    define PYLAR_EXPORT __declspec(dllexport)
#  else
#    define PYLAR_EXPORT __declspec(dllimport)
#  endif
#  if defined(_M_IX86) || defined(__i386__)
#    define PYLAR_CALL __stdcall
#  else
#    define PYLAR_CALL
#  endif
#else
#  define PYLAR_EXPORT __attribute__((visibility("default")))
#  define PYLAR_CALL
#endif

extern "C" PYLAR_EXPORT std::int32_t PYLAR_CALL IPYLAR(std::int32_t argument);
