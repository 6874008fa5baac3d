#pragma once
// The one writer of a run: renders the values of the analysis stages into
// the run's files. Each kind of output is written in one place here:
//   report              writeReport
//   run notes           writeRunNotes
//   detail listing, base listing, t-z and q-w plot records, TZDIAM.DAT
//                       writeListings
//   plot data           writePlotData
//   CHART.DAT           writeChartLog
//   TZDATA.DAT          writeSolverLog
//   ROCKMSG.DAT         writeReport, which takes the rock-socket messages in
//                       through it
// The lines themselves come from report.h, settlement_output.h and
// rock_socket.h.

namespace pylar::engine {

struct Analysis;
struct Run;

void writeAnalysis(Run& run, const Analysis& analysis);

}  // namespace pylar::engine
