// The desktop program's project readers (the current format and both older
// ones) on arbitrary bytes. A read ends complete or with the reader's message
// and a usable project; a project read completely is written and must read
// back to the same file, whose layout the engine follows.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fortran_format.h"
#include "model/DataUnit.h"
#include "project_input.h"

using namespace pylar;

namespace {

void fail(const char* what, const QByteArray& text) {
  std::fprintf(stderr, "%s\n--- written file ---\n%s\n", what, text.constData());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (int format : {ffVersion8, ffLegacy2012, ffLegacy60}) {
    TProjectTables tables;
    auto read = TProgramData::CreateFromData(tables, bytes, QStringLiteral("/nowhere/fuzzed.pq8d"), format);
    if (!read.data) std::abort();
    if (!read.error.isEmpty()) continue;
    const QByteArray written = read.data->ToFileText();

    TProjectTables again;
    auto reread = TProgramData::CreateFromData(again, written, QStringLiteral("/nowhere/saved.pq8d"), ffVersion8);
    if (!reread.error.isEmpty()) fail(("a saved project does not read back: " + reread.error.toStdString()).c_str(), written);
    if (reread.data->ToFileText() != written) fail("a saved project reads back different", written);

    auto engineReader = engine::ListReader::fromText(std::string(written.constData(), static_cast<std::size_t>(written.size())));
    engine::ProjectInput input;
    std::string error;
    // The engine refuses some values the program keeps (a sand procedure
    // other than 1 to 3, for one) and says so when the project is run; what
    // it must never meet is a saved file whose layout it cannot follow.
    if (!engine::readProjectInput(engineReader, input, error) && error.find("IS OUT OF RANGE") == std::string::npos)
      fail(("the engine cannot read a saved project: " + error).c_str(), written);
  }
  return 0;
}
