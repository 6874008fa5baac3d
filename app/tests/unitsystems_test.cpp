// One project, one answer: every sample project switched to the other unit
// system with the program's own Units command and saved, then both run by
// the engine, gives the same capacity rows and the same stopping lengths for
// every pier both series hold (their ends at least). The engine's values are compared through the results it
// gives programs (the JSON of `pylar run --json`), converted to English units
// with the exact factors.
#include "model/DataUnit.h"

#include "pylar/engine.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace pylar {
namespace {

// The examples and the validation samples (the 2018 method set, with scour).
QStringList exampleFiles() {
  QStringList files;
  for (const char *folder : {PYLAR_SOURCE_DIR "/examples", PYLAR_SOURCE_DIR "/samples"}) {
    const QDir dir(QString::fromUtf8(folder));
    for (const QString &name : dir.entryList({"*.pq8d"}, QDir::Files, QDir::Name)) files << dir.filePath(name);
  }
  return files;
}

// The project read by the program, switched to `units` (or left as it is)
// and saved as `file`; the engine's results of a run of that file.
struct TRun {
  int status = -1;
  bool si = false;
  QJsonObject results;
};

TRun runIn(const QString &example, int units, const QString &file) {
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, example, ffVersion8);
  EXPECT_EQ(read.error, QString());
  read.data->SetUnits(units);
  read.data->FileName = file;
  read.data->Save();
  engine::RunOptions options;
  options.threads = 1;
  options.collectResults = true;
  const engine::ProjectRun run = engine::runProject(file.toStdString(), engine::localRunTime, options);
  TRun out;
  out.status = run.summary.status;
  out.si = run.summary.results.si;
  out.results = QJsonDocument::fromJson(QByteArray::fromStdString(run.summary.results.json)).object();
  return out;
}

// English per SI unit of each kind of value in the results, exact factors.
constexpr double kFeetPerMetre = 1 / 0.3048;
constexpr double kTonsPerKN = 0.1124044745;
constexpr double kCuYdPerCuM = 1.307950619;

struct TQuantity {
  double perSI;       // English units per SI unit
  double resolution;  // half the last printed decimal of the English report, English units
  double resolutionSI;
};
const TQuantity kLength{kFeetPerMetre, 0.05, 0.05};          // F8.1 in both reports
const TQuantity kVolume{kCuYdPerCuM, 0.05, 0.005};
const TQuantity kForce{kTonsPerKN, 0.05, 0.005};
const TQuantity kForcePerVolume{kTonsPerKN / kCuYdPerCuM, 0.005, 0.005};

double english(const QJsonValue &v, bool si, const TQuantity &q) { return v.toDouble() * (si ? q.perSI : 1); }

// Within 0.5 % and the printing resolution of both reports.
void expectSame(const QJsonValue &a, bool aSI, const QJsonValue &b, bool bSI, const TQuantity &q,
                const std::string &what) {
  ASSERT_TRUE(a.isDouble() && b.isDouble()) << what;
  const double x = english(a, aSI, q);
  const double y = english(b, bSI, q);
  const double printed = (aSI ? q.resolutionSI * q.perSI : q.resolution) + (bSI ? q.resolutionSI * q.perSI : q.resolution);
  EXPECT_LE(std::fabs(x - y), 0.005 * std::max(std::fabs(x), std::fabs(y)) + printed)
      << what << ": " << x << " and " << y << " (English units)";
}

TEST(UnitSystems, EverySampleGivesTheSameResultsInTheOtherUnitSystem) {
  const QStringList examples = exampleFiles();
  ASSERT_GE(examples.size(), 15);
  for (const QString &example : examples) {
    const QString name = QFileInfo(example).completeBaseName();
    SCOPED_TRACE(name.toStdString());
    // Each run in a folder of its own: the scratch files have fixed names.
    QTemporaryDir asGiven, switched;
    TProjectTables probe;
    const int units = TProgramData::CreateFromFile(probe, example, ffVersion8).data->fUnits;
    const int other = units == kUnitsSI ? kUnitsEnglish : kUnitsSI;
    const TRun a = runIn(example, units, asGiven.filePath(name + ".pq8d"));
    const TRun b = runIn(example, other, switched.filePath(name + ".pq8d"));
    // Every sample completes; each has piers to compare.
    ASSERT_EQ(a.status, 0);
    ASSERT_EQ(b.status, 0);
    ASSERT_NE(a.si, b.si);
    const QJsonArray piersA = a.results["piers"].toArray();
    const QJsonArray piersB = b.results["piers"].toArray();
    ASSERT_GT(piersA.size(), 0);
    // The default diameter step is 0.5 ft in English and 0.15 m in SI, so the
    // two series may differ between their ends; the piers they share are
    // compared, and they share at least the first and the last diameter.
    auto stem = [](const QJsonObject &pier, bool si) { return english(pier["stem"], si, kLength); };
    auto partner = [&](const QJsonObject &p) -> QJsonObject {
      for (const QJsonValue &v : piersB) {
        const QJsonObject q = v.toObject();
        if (std::fabs(stem(p, a.si) - stem(q, b.si)) <= 0.005 && p["lengthNumber"] == q["lengthNumber"]) return q;
      }
      return {};
    };
    EXPECT_EQ(partner(piersA.first().toObject()), piersB.first().toObject()) << "first pier";
    EXPECT_EQ(partner(piersA.last().toObject()), piersB.last().toObject()) << "last pier";
    for (qsizetype k = 0; k < piersA.size(); ++k) {
      SCOPED_TRACE("pier " + std::to_string(k + 1));
      const QJsonObject p = piersA[k].toObject();
      const QJsonObject q = partner(p);
      if (q.isEmpty()) continue;
      // Diameters and the stopping length to the thousandth their lines print.
      for (const char *key : {"stem", "base", "length"}) {
        const double x = english(p[key], a.si, kLength);
        const double y = english(q[key], b.si, kLength);
        EXPECT_NEAR(x, y, 0.005) << key;
      }
      if (piersA.size() == piersB.size()) {
        EXPECT_EQ(p["mostEfficient"], q["mostEfficient"]);
      }
      EXPECT_EQ(p["designLoadNotReached"], q["designLoadNotReached"]);
      const QJsonArray rowsA = p["rows"].toArray();
      const QJsonArray rowsB = q["rows"].toArray();
      ASSERT_GT(rowsA.size(), 0);
      ASSERT_EQ(rowsA.size(), rowsB.size());
      for (qsizetype r = 0; r < rowsA.size(); ++r) {
        const QJsonObject x = rowsA[r].toObject();
        const QJsonObject y = rowsB[r].toObject();
        const std::string row = "row at " + std::to_string(english(x["length"], a.si, kLength)) + " ft, ";
        for (const QString &key : x.keys()) {
          const TQuantity &unit = key == "length"      ? kLength
                                  : key == "volume"    ? kVolume
                                  : key == "QU/VOLUME" ? kForcePerVolume
                                                       : kForce;
          expectSame(x[key], a.si, y[key], b.si, unit, row + key.toStdString());
        }
      }
    }
  }
}

}  // namespace
}  // namespace pylar
