// The grid table's stored column list on arbitrary bytes: a list either
// loads or fails with EGridError, and a list that loads is saved and loads
// again to the same bytes. The second read may be refused for its size: its
// templates are named by identifier and may now be the first table or its
// sub-tables, which the first read could not copy yet.
#include <cstdint>
#include <cstdlib>

#include "model/Table.h"

using namespace pylar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  TGridTable table;
  table.SetRowCount(2);
  try {
    table.LoadColumns(bytes);
  } catch (const EGridError& e) {
    if (e.message().isEmpty()) std::abort();
    return 0;
  }
  const QByteArray saved = table.SaveColumns();
  TGridTable copy;
  copy.SetRowCount(2);
  try {
    copy.LoadColumns(saved);  // any other exception here is a finding
  } catch (const ECellBudgetError&) {
    return 0;
  }
  if (copy.SaveColumns() != saved) std::abort();
  return 0;
}
