// Reading the engine's report as the program shows it: the sections a reader
// jumps to, the results of every pier against the report's own rows, and
// files that are missing, empty, too large, cut short or garbage.
#include "model/ReportFile.h"
#include "model/ReportResults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace pylar {
namespace {

const QString kGolden = QStringLiteral(PYLAR_SOURCE_DIR "/engine/tests/golden/");

QByteArray goldenBytes(const QString &name) {
  QFile file(kGolden + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TSeriesResults goldenResults(const QString &sample) {
  const TTextFile report = ReadTextFile(kGolden + sample + ".pq8o");
  return ReadSeriesResults(report, kGolden + sample + ".pq8p");
}

QStringList texts(const std::vector<TPrintedValue> &values) {
  QStringList out;
  for (const TPrintedValue &v : values) out << v.text;
  return out;
}

TEST(ReportFile, ShowsEveryLineOfTheFileAndWhereEachStarts) {
  const QByteArray bytes = goldenBytes("sand-asd-english.pq8o");
  ASSERT_FALSE(bytes.isEmpty());
  const TTextFile file = ReadTextFile(kGolden + "sand-asd-english.pq8o");
  EXPECT_FALSE(file.cutShort);
  EXPECT_TRUE(file.notices.isEmpty());
  // The text is the file with CRLF line ends as "\n": nothing else changes.
  QByteArray lf = bytes;
  lf.replace("\r\n", "\n");
  EXPECT_EQ(file.Text() + "\n", QString::fromLatin1(lf));
  ASSERT_EQ(file.lines.size(), static_cast<qsizetype>(file.lineOffsets.size()));
  for (const TTextSection &s : file.sections)
    EXPECT_EQ(bytes.mid(file.lineOffsets[s.line], file.lines[s.line].size()), file.lines[s.line].toLatin1())
        << s.title.toStdString();
}

// A title typed in the program arrives as UTF-8; any other byte is shown as
// it stands, one character per byte.
TEST(ReportFile, TitlesInUtf8OrOtherBytesAreShownWhole) {
  EXPECT_EQ(TextFileFromData("t", "     Pier f\xc3\xbcr Br\xc3\xbc" "cke\r\n", 23, kTextViewLimit).lines.first(),
            QString::fromUtf8("     Pier f\xc3\xbcr Br\xc3\xbc" "cke"));
  EXPECT_EQ(TextFileFromData("t", "     caf\xe9 \xb0\r\n", 13, kTextViewLimit).lines.first(),
            QString::fromLatin1("     caf\xe9 \xb0"));
}

TEST(ReportFile, SectionsOfAReportRunNotesAndDesignCharts) {
  struct Case {
    const char *file;
    std::vector<const char *> titles;  // in order; a title may be followed by others not listed
  };
  const Case cases[] = {
      {"sand-asd-english.pq8o",
       {"Project data", "Soil information", "Pier input", "Computation results",
        "Case 1: stem 3.000 FT., length 40.000 FT.", "Case 2: stem 3.500 FT., length 40.000 FT.",
        "Case 3: stem 4.000 FT., length 40.000 FT.", "Most efficient pier", "Load-settlement 1", "Load-settlement 2",
        "Load-settlement 3", "Axial load vs settlement curves"}},
      {"sand-asd-english.pq8r", {"Start of file", "Case 1: stem 3.000 FT., length 40.000 FT."}},
      {"deep-profile-lrfd.pq8o",
       {"Design chart input", "Case 3: stem 6.000 FT., length 80.000 FT.", "Load-settlement 12",
        "Design chart curves", "  Settlement 0.100 IN", "  Settlement 1.500 IN"}},
      {"strong-rock-lrfd-si.pq8o", {"Case 1: stem 1.200 M, length 14.000 M", "Rock socket load-settlement"}},
      {"belled-uplift-si.pq8o", {"Load-settlement 1", "Additional t-z curves"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.file);
    const TTextFile file = ReadTextFile(kGolden + c.file);
    std::size_t at = 0;
    for (const char *title : c.titles) {
      while (at < file.sections.size() && file.sections[at].title != QLatin1String(title)) ++at;
      ASSERT_LT(at, file.sections.size()) << "missing or out of order: " << title;
    }
    // Each case section stands on its case header, numbered as the header.
    for (const TTextSection &s : file.sections) {
      if (s.kind == TSectionKind::Case) {
        EXPECT_EQ(file.lines[s.line].simplified(), QString("- CASE ANALYZED : %1").arg(s.caseNumber));
      }
    }
  }
  // The trend banners of the extra t-z curves are no load-settlement runs.
  const TTextFile uplift = ReadTextFile(kGolden + "belled-uplift-si.pq8o");
  int runs = 0;
  for (const TTextSection &s : uplift.sections) runs += s.kind == TSectionKind::LoadSettlement;
  EXPECT_EQ(runs, 1);
}

TEST(ReportFile, FilesThatCannotBeShownSayWhy) {
  QTemporaryDir dir;
  const QString empty = dir.filePath("empty.pq8o");
  QFile(empty).open(QIODevice::WriteOnly);
  struct Case {
    QString path;
    const char *message;
  };
  const Case cases[] = {
      {dir.filePath("missing.pq8o"), "does not exist. Run the analysis to write it."},
      {empty, "is empty: the run that wrote it stopped before writing anything."},
      {dir.path(), "is a folder, not a file."},
      {QStringLiteral("/dev/zero"), "is not a regular file."},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.message);
    try {
      ReadTextFile(c.path);
      FAIL() << "no error";
    } catch (const ETextFileError &e) {
      EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(c.path))) << e.message().toStdString();
      EXPECT_TRUE(e.message().endsWith(c.message)) << e.message().toStdString();
    }
  }
}

TEST(ReportFile, FilesCutShortAreShownAndMarked) {
  const QByteArray report = goldenBytes("sand-asd-english.pq8o");
  const qsizetype inCase2 = report.indexOf("CASE ANALYZED      :     2") + 200;
  struct Case {
    const char *what;
    QByteArray data;
    qint64 limit;
    bool cutShort;
    const char *notice;  // start of the first notice; empty: none
    qsizetype lines;
  };
  const Case cases[] = {
      {"whole", report, kTextViewLimit, false, "", report.count('\n')},
      {"above the limit: whole lines up to it", report, 1000, true, "The file is larger than 0 MB: only its first ",
       report.left(1000).count('\n')},
      {"ends inside a line", report.left(inCase2), kTextViewLimit, true, "The file ends in the middle of a line",
       report.left(inCase2).count('\n') + 1},
      {"a case without its pier length", report.left(report.lastIndexOf('\n', inCase2) + 1), kTextViewLimit, true,
       "Case 2 has no pier length line", report.left(inCase2).count('\n')},
      {"LF line ends, no CR", QByteArray("a\nb\n"), kTextViewLimit, false, "", 2},
      {"NUL bytes", QByteArray("a\0b\r\n", 5), kTextViewLimit, false, "The file holds 1 NUL bytes", 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const TTextFile file = TextFileFromData("x.pq8o", c.data, c.data.size(), c.limit);
    EXPECT_EQ(file.cutShort, c.cutShort);
    if (*c.notice) {
      ASSERT_FALSE(file.notices.isEmpty());
      EXPECT_TRUE(file.notices.first().startsWith(c.notice)) << file.notices.first().toStdString();
    } else {
      EXPECT_TRUE(file.notices.isEmpty());
    }
    EXPECT_EQ(file.lines.size(), c.lines);
    EXPECT_EQ(file.fileSize, c.data.size());
  }
  EXPECT_EQ(TextFileFromData("x", QByteArray("a\0b\r\n", 5), 5, 100).lines.first(), QString("a") + QChar(0x2400) + "b");
}

// The results equal the rows the report prints at each pier's stopping length.
TEST(SeriesResults, EachPierEqualsTheReportsRowAtItsStoppingLength) {
  struct Pier {
    int index;
    const char *stem, *base, *length;
    QStringList row;
  };
  struct Case {
    const char *sample;
    bool lrfd, uplift, si;
    QStringList columns;
    int pierCount;
    int mostEfficient;
    std::vector<Pier> piers;
  };
  const QStringList asd = {"LENGTH", "VOLUME", "QS", "QB", "QU", "QBD", "QDN", "QU/VOLUME"};
  const QStringList lrfd = {"LENGTH", "VOLUME", "QS", "QB", "QU", "LRFD QS", "LRFD QB", "LRFD QU"};
  const Case cases[] = {
      {"sand-asd-english", false, false, false, asd, 3, 0,
       {{0, "3.000", "3.000", "40.000", {"40.0", "10.5", "275.5", "178.1", "453.5", "334.8", "169.5", "43.31"}},
        {2, "4.000", "4.000", "40.000", {"40.0", "18.6", "367.3", "320.8", "688.1", "474.2", "253.8", "36.96"}}}},
      // Multiple lengths: one diameter, the series runs over the lengths.
      {"sand-chen-kulhawy-lrfd", true, false, false, lrfd, 4, 3,
       {{0, "3.500", "3.500", "45.000", {"45.0", "16.0", "307.5", "232.0", "539.5", "173.4", "116.0", "289.41"}},
        {1, "3.500", "3.500", "40.000", {"40.0", "14.3", "257.8", "219.5", "477.2", "143.6", "109.7", "253.29"}},
        {3, "3.500", "3.500", "30.000", {"30.0", "10.7", "167.2", "194.5", "361.7", "89.2", "97.2", "186.46"}}}},
      {"deep-profile-lrfd", true, false, false, lrfd, 3, 0,
       {{1, "5.000", "5.000", "80.000", {"80.0", "58.2", "972.0", "428.0", "1400.0", "508.0", "192.6", "700.57"}}}},
      {"belled-uplift-si", false, true, true, {"LENGTH", "VOLUME", "QS", "WT", "QU", "QBD", "QDN", "QU/VOLUME"}, 1, 0,
       {{0, "1.200", "2.400", "12.000", {"12.0", "14.99", "4266.26", "272.85", "4539.10", "4539.10", "1979.35", "302.71"}}}},
      {"strong-rock-lrfd-si", true, false, true, lrfd, 1, 0,
       {{0, "1.200", "1.200", "14.000",
         {"14.0", "15.83", "22532.98", "31122.39", "53655.37", "12303.31", "15561.20", "27864.51"}}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.sample);
    const TSeriesResults r = goldenResults(c.sample);
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    EXPECT_EQ(r.lrfd, c.lrfd);
    EXPECT_EQ(r.uplift, c.uplift);
    EXPECT_EQ(r.si, c.si);
    EXPECT_EQ(r.columns, c.columns);
    ASSERT_EQ(static_cast<int>(r.piers.size()), c.pierCount);
    EXPECT_EQ(r.mostEfficient, c.mostEfficient);
    for (const Pier &p : c.piers) {
      SCOPED_TRACE(p.index);
      const TSeriesPier &pier = r.piers[static_cast<std::size_t>(p.index)];
      EXPECT_EQ(pier.caseNumber, p.index + 1);
      EXPECT_TRUE(pier.complete);
      EXPECT_EQ(pier.stem.text, p.stem);
      EXPECT_EQ(pier.base.text, p.base);
      EXPECT_EQ(pier.length.text, p.length);
      EXPECT_EQ(texts(pier.row), p.row);
    }
  }
  // A QU per volume over 1000 kN/m^3 widens its F7.2 field: a number, not
  // the seven asterisks reports printed before.
  const TSeriesResults rock = goldenResults("strong-rock-lrfd-si");
  EXPECT_TRUE(rock.mostEfficientLines.contains("QU/VOLUME OF CONCRETE  = 3388.42 KN/CU.M"));
}

// Every sample the program ships reads whole: each pier complete, the most
// efficient one found, each pier's curves placed.
TEST(SeriesResults, EverySampleReportReadsWhole) {
  const QStringList reports = QDir(kGolden).entryList({"*.pq8o"}, QDir::Files, QDir::Name);
  ASSERT_GE(reports.size(), 15);
  for (const QString &name : reports) {
    SCOPED_TRACE(name.toStdString());
    const TSeriesResults r = goldenResults(name.chopped(5));
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    EXPECT_GE(r.mostEfficient, 0);
    for (const TSeriesPier &p : r.piers) {
      EXPECT_TRUE(p.complete);
      EXPECT_EQ(p.row.size(), 8u);
    }
  }
}

TEST(SeriesResults, LoadSettlementOfEachPierIsTheReportsCurve) {
  struct Point {
    int pier, line, row;
    const char *load, *settlement;
  };
  struct Case {
    const char *sample;
    const char *loadUnit, *settlementUnit;
    std::vector<Point> points;
    std::vector<int> emptyLines;  // pier * 3 + line
  };
  const Case cases[] = {
      {"sand-asd-english", "TONS", "IN.",
       {{0, kTrendLine, 0, "0.2960E-01", "0.1472E-04"},
        {0, kUpperLine, 14, "0.4623E+03", "0.1893E+01"},
        {2, kTrendLine, 0, "0.2908E-01", "0.1268E-04"},
        {2, kLowerLine, 14, "0.6330E+03", "0.2474E+01"}},
       {}},
      // Design charts: each diameter runs at every chart length; the curve of
      // a pier is the one at its own length (the first of the chart lengths).
      {"deep-profile-lrfd", "TONS", "IN.", {{0, kTrendLine, 0, "0.9773E-01", "0.2744E-04"}}, {}},
      // A tip in rock: the rock-socket relationship, a trend line only.
      {"strong-rock-lrfd-si", "kN", "M",
       {{0, kTrendLine, 0, "0.6382E+04", "0.2030E-02"}, {0, kTrendLine, 14, "0.5365E+05", "0.7831E-01"}},
       {kUpperLine, kLowerLine}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.sample);
    const TSeriesResults r = goldenResults(c.sample);
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    EXPECT_EQ(r.loadUnit, c.loadUnit);
    EXPECT_EQ(r.settlementUnit, c.settlementUnit);
    ASSERT_EQ(r.settlement.size(), r.piers.size());
    for (const Point &p : c.points) {
      const auto &line = r.settlement[static_cast<std::size_t>(p.pier)][static_cast<std::size_t>(p.line)];
      ASSERT_EQ(line.size(), 15u) << p.pier << " " << p.line;
      EXPECT_EQ(line[static_cast<std::size_t>(p.row)].load.text, p.load);
      EXPECT_EQ(line[static_cast<std::size_t>(p.row)].settlement.text, p.settlement);
    }
    for (int e : c.emptyLines) EXPECT_TRUE(r.settlement[static_cast<std::size_t>(e / 3)][e % 3].empty()) << e;
  }
  // Without the plot data the curves are left out, and the reader says so.
  const TSeriesResults without = ReadSeriesResults(ReadTextFile(kGolden + "sand-asd-english.pq8o"), "missing.pq8p");
  EXPECT_TRUE(without.settlement[0][kTrendLine].empty());
  ASSERT_EQ(without.problems.size(), 1);
  EXPECT_TRUE(without.problems.first().startsWith("The load-settlement curves are not shown")) << without.problems.first().toStdString();
}

TEST(SeriesResults, DefinedSettlementLoadsComeFromTheDesignCharts) {
  const TSeriesResults r = goldenResults("deep-profile-lrfd");
  ASSERT_EQ(r.charts.size(), 7u);
  struct Case {
    int pier;
    std::size_t settlement;
    const char *value, *load;
  };
  const Case cases[] = {{0, 0, "0.100", "351.94"}, {0, 6, "1.500", "923.45"}, {2, 0, "0.100", "505.52"},
                        {1, 3, "0.500", "1085.77"}};
  for (const Case &c : cases) {
    const auto loads = r.DefinedSettlementLoads(c.pier);
    ASSERT_EQ(loads.size(), 7u);
    EXPECT_EQ(loads[c.settlement].settlement.text, c.value);
    EXPECT_EQ(loads[c.settlement].settlementUnit, "IN");
    EXPECT_EQ(loads[c.settlement].load.text, c.load);
  }
  EXPECT_TRUE(goldenResults("sand-asd-english").DefinedSettlementLoads(0).empty());
  EXPECT_TRUE(r.DefinedSettlementLoads(7).empty());
}

// A value too wide for its column widens the field (a blank before it): the
// capacity row, the most efficient pier and a design-chart row still read,
// each value as printed.
TEST(SeriesResults, WidenedFieldsReadAsTheirNumbers) {
  QByteArray sand = goldenBytes("sand-asd-english.pq8o");
  const QByteArray row = "     40.0     10.5    275.5    178.1    453.5    334.8    169.5     43.31\r\n";
  ASSERT_TRUE(sand.contains(row));
  sand.replace(sand.indexOf(row), row.size(),
               "     40.0  10000.5    275.5    178.1 1234567.8    334.8    169.5     43.31\r\n");
  sand.replace("  VOLUME OF CONCRETE     =  10.47 CU.YDS.", "  VOLUME OF CONCRETE     = 10000.47 CU.YDS.");
  sand.replace("  ULTIMATE LOAD CAPACITY =    453.53 TONS", "  ULTIMATE LOAD CAPACITY =  1234567.80 TONS");
  QByteArray deep = goldenBytes("deep-profile-lrfd.pq8o");
  const QByteArray chartRow = "    80.00   351.94   430.13   505.52\r\n";
  ASSERT_TRUE(deep.contains(chartRow));
  deep.replace(deep.indexOf(chartRow), chartRow.size(), "    80.00 1351000.94   430.13   505.52\r\n");
  QTemporaryDir dir;
  struct Case {
    const char *sample;
    QByteArray report;
  };
  for (const Case &c : {Case{"sand-asd-english", sand}, Case{"deep-profile-lrfd", deep}}) {
    const QString path = dir.filePath(QString::fromLatin1(c.sample) + ".pq8o");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.report);
    file.close();
    QFile::copy(kGolden + c.sample + ".pq8p", dir.filePath(QString::fromLatin1(c.sample) + ".pq8p"));
  }
  const TSeriesResults r = ReadSeriesResults(ReadTextFile(dir.filePath("sand-asd-english.pq8o")),
                                             dir.filePath("sand-asd-english.pq8p"));
  EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
  ASSERT_EQ(r.piers.size(), 3u);
  EXPECT_EQ(texts(r.piers[0].row),
            QStringList({"40.0", "10000.5", "275.5", "178.1", "1234567.8", "334.8", "169.5", "43.31"}));
  EXPECT_EQ(r.mostEfficient, 0);
  const TSeriesResults charts = ReadSeriesResults(ReadTextFile(dir.filePath("deep-profile-lrfd.pq8o")),
                                                  dir.filePath("deep-profile-lrfd.pq8p"));
  EXPECT_TRUE(charts.problems.isEmpty()) << charts.problems.join("; ").toStdString();
  ASSERT_EQ(charts.charts.size(), 7u);
  EXPECT_EQ(charts.DefinedSettlementLoads(0)[0].load.text, "1351000.94");
  EXPECT_EQ(charts.DefinedSettlementLoads(2)[0].load.text, "505.52");
}

// A report cut anywhere never gives a complete pier other than the whole
// report's, and says what is missing.
TEST(SeriesResults, ReportsCutAnywhereGiveOnlyWhatTheyHold) {
  const QByteArray whole = goldenBytes("sand-chen-kulhawy-lrfd.pq8o");
  const QString plot = kGolden + "sand-chen-kulhawy-lrfd.pq8p";
  const TSeriesResults full = ReadSeriesResults(TextFileFromData("r", whole, whole.size(), kTextViewLimit), plot);
  for (qsizetype cut = 0; cut < whole.size(); cut += 731) {
    const QByteArray part = whole.left(cut);
    const TSeriesResults r = ReadSeriesResults(TextFileFromData("r", part, whole.size(), kTextViewLimit), plot);
    ASSERT_LE(r.piers.size(), full.piers.size());
    for (std::size_t p = 0; p < r.piers.size(); ++p) {
      if (!r.piers[p].complete) continue;
      EXPECT_EQ(texts(r.piers[p].row), texts(full.piers[p].row)) << cut;
      EXPECT_EQ(r.piers[p].length.text, full.piers[p].length.text) << cut;
    }
    if (r.piers.size() < full.piers.size() || (!r.piers.empty() && !r.piers.back().complete)) {
      EXPECT_FALSE(r.problems.isEmpty()) << cut;
    }
    EXPECT_LE(r.mostEfficient, 3);
  }
}

// A file cut inside a number: the cut line is not read.
TEST(SeriesResults, ALineCutInsideANumberIsNotRead) {
  const QByteArray whole = goldenBytes("sand-asd-english.pq8o");
  const QString plot = kGolden + "sand-asd-english.pq8p";
  const qsizetype lengthLine = whole.indexOf("PYLAR LENGTH              =   40.000");
  const qsizetype lastRow = whole.lastIndexOf("     40.0     10.5", lengthLine);
  struct Case {
    const char *what;
    qsizetype cut;
    std::size_t completePiers;
  };
  const Case cases[] = {
      {"in the pier length", lengthLine + 31, 0},
      {"in the last row's last value", lastRow + 71, 0},
      {"after the pier length line", whole.indexOf('\n', lengthLine) + 1, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const QByteArray part = whole.left(c.cut);
    const TSeriesResults r = ReadSeriesResults(TextFileFromData("r", part, whole.size(), kTextViewLimit), plot);
    ASSERT_EQ(r.piers.size(), 1u);
    EXPECT_EQ(r.piers[0].complete ? 1u : 0u, c.completePiers);
    if (r.piers[0].complete) {
      EXPECT_EQ(r.piers[0].length.text, "40.000");
      EXPECT_EQ(texts(r.piers[0].row).last(), "43.31");
    }
    EXPECT_FALSE(r.problems.isEmpty());
  }
}

TEST(SeriesResults, GarbageGivesNoPierAndNoCrash) {
  const QByteArray inputs[] = {
      QByteArray(),
      QByteArray("\r\n\r\n"),
      QByteArray(5000, '*'),
      QByteArray("     - CASE ANALYZED      :     1\r\n     LENGTH  VOLUME\r\n      PYLAR LENGTH = \r\n"),
      QByteArray("     - CASE ANALYZED      : 99999999999999999999\r\n     DESIGN CHART CURVES\r\n     - SETTLEMENT,\r\n"
                 "   LENGTH DIAMETER\r\n    (FT)  1e999  nan\r\n 1 2 3 4 5 6 7 8 9 10 11 12\r\n"),
      QByteArray("     AXIAL LOAD VS SETTLEMENT CURVES\r\n      TOP  LOAD\r\n   x\r\n"
                 " THE MOST EFFICIENT PYLAR\r\n = = =\r\n DIAMETER OF STEM = inf\r\n"),
  };
  for (const QByteArray &data : inputs) {
    SCOPED_TRACE(data.left(40).toStdString());
    const TTextFile file = TextFileFromData("g", data, data.size(), kTextViewLimit);
    const TSeriesResults r = ReadSeriesResults(file, kGolden + "sand-asd-english.pq8p");
    for (const TSeriesPier &p : r.piers) EXPECT_TRUE(p.row.empty());
    EXPECT_EQ(r.mostEfficient, -1);
    EXPECT_FALSE(r.problems.isEmpty());
  }
}

TEST(EditorFailure, NamesTheProgramAndWhereItIsSet) {
  EXPECT_EQ(EditorFailureMessage("/usr/bin/gedit"),
            "An error occurred in running the Word Processor:\r/usr/bin/gedit could not be started.\r"
            "The text editor is set in Data > Control Options... (Text Editor).");
  EXPECT_TRUE(EditorFailureMessage("  ").contains("(none) could not be started"));
}

}  // namespace
}  // namespace pylar
