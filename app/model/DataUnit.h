// The current project: the scalar settings (TProgramData) and the main
// window's grid tables (TProjectTables: the soil layer table D with one
// property table per layer, and the depths of additional t-z curves), the
// project file's reader (current format and the two older formats) and writer,
// and the file-name and caption rules.
#pragma once

#include "Table.h"
#include "WordRead.h"
#include "soils.h"

#include "pylar/design_methods.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace pylar {

// Columns of the layer table D.
enum TLayerColumn : int {
  lcSoilType = 0,
  lcDepth = 1,
  lcLayerData = 2,
  lcMaxSide = 3,
  lcMaxEnd = 4,
  lcLRFDSide = 5,
  lcLRFDEnd = 6,
};

// Limits of the counts a project file may hold.
inline constexpr int kMaxLayers = 40;  // the layer dialog's own limit
inline constexpr int kMaxTZDepths = 20;
inline constexpr int kMaxSettlements = 10;

// Identifiers of the main window's tables and of the property-table templates.
inline constexpr int kLayerTableIdentifier = 21;
inline constexpr int kTZDepthTableIdentifier = 10;

// File formats; the number is the open dialog's filter index.
enum TFileFormat : int {
  ffNone = 0,        // not a project file
  ffVersion8 = 1,    // ".pq8d"
  ffLegacy2012 = 2,  // ".pqd", with the design-method settings
  ffLegacy60 = 3,    // ".pqd", the oldest layout
  ffAllFiles = 4,    // read as ffLegacy2012
};

inline constexpr const char *kProgramCaption = "PYLAR " PYLAR_VERSION;
inline constexpr const char *kDefaultFileName = "NewPylar.pq8d";
inline constexpr const char *kProjectExtension = ".pq8d";
inline constexpr const char *kLegacyExtension = ".pqd";
inline constexpr const char *kDefaultExtension = "pq8";
// Dialog filters, in Qt's notation; the order is that of TFileFormat.
inline constexpr const char *kOpenFilter =
    "PYLAR 2017(*.pq8d);;PYLAR 2012(*.pqd);;PYLAR 6.0(*.pqd);;All Files(*.*)";
inline constexpr const char *kSaveFilter = "PYLAR 2017(*.pq8d);;All File(*.*)";

// The property-table templates, one per soil code, created once.
class TPropertyTemplates {
 public:
  static TPropertyTemplates &instance();
  // The template of a soil code; null outside 1..9.
  TGridTable *ForCode(int code);
  // Makes sure every template holds its identifier (another table may have
  // taken it over).
  void ClaimIdentifiers();

 private:
  TPropertyTemplates();
  std::array<std::unique_ptr<TGridTable>, kSoilCodeCount> fTables;
};

// Texts shown with the tables.
QString LayerTableComments(bool lrfd);

// The main window's grid tables and its changed flag.
class TProjectTables {
 public:
  TProjectTables();
  TProjectTables(const TProjectTables &) = delete;
  TProjectTables &operator=(const TProjectTables &) = delete;

  TGridTable D;           // soil layers
  TGridTable TblTZDepth;  // depths of additional t-z curves

  // Property table of a layer (row of D); null for a row without one.
  TGridTable *LayerData(int row) const;
  // Gives a layer a fresh property table of its soil code's template.
  void RebuildLayerData(int row);

  // Changed: the flag or any table's own change.
  bool GetChanged() const;
  // Sets the flag; clearing it also clears every table's change state.
  void SetChanged(bool changed);

  // Under LRFD the two resistance-factor columns are shown and the layer
  // table's comment mentions them.
  void ShowLRFDColumns(bool lrfd);

  void SetUnits(int units);
  void ClearRows();          // every table to 0 rows
  void FillMinimumRows();    // every table with fewer rows gets its minimum

 private:
  bool fDataChanged = false;
};

class TProgramData;

// The design methods of a project as the block of the project file holds them.
methods::DesignMethods ProjectMethods(const TProgramData &project);
// The layers' codes, by row of D.
std::vector<int> LayerCodes(const TProjectTables &tables);
// The strength test and sand kind of a layer (the defaults where its model
// holds none).
methods::LayerMethods LayerMethodValues(const TProjectTables &tables, int row);
// Writes them into the layer's property table (the values its model holds).
void SetLayerMethodValues(TProjectTables &tables, int row, const methods::LayerMethods &values);

class TProgramData {
 public:
  // All fields zero and every string empty, as a file is read into.
  explicit TProgramData(TProjectTables &tables) : fTables(&tables) {}

  int fUnits = 0;
  QString FileName;
  QString Title;
  Extended PINC = 0;
  int PrintTZCurves = 0;
  int METHOD = 0;
  int KCYCL = 0;
  Extended RCYCL = 0;
  Extended DSTART = 0;
  Extended DIALIM = 0;
  Extended RATIO = 0;
  Extended BELANGL = 0;
  Extended TOPLENG = 0;
  Extended BS = 0;
  Extended EPILE = 0;
  Extended WTD = 0;
  Extended PD = 0;
  Extended PDMIN = 0;
  Extended PDINCR = 0;
  Extended DIAMINCR = 0;
  int NPOINTPD = 0;
  std::array<Extended, kMaxSettlements> PDSETT{};
  Extended FST = 0;
  Extended FSB = 0;
  Extended LPD = 0;
  Extended ValElevation = 0;
  int UseElevation = 0;
  int ID2 = 0;
  int IPENT = 0;
  int IChart = 0;
  int IMOD = 0;
  int Yesnewversion = 0;
  int NLRFD = 0;
  // The design methods: the set (0: FHWA-IF-99-025, 1999; 1: FHWA GEC-10,
  // 2018, with AASHTO LRFD; the values of methods::MethodSet) and the depth
  // of scour below the pier top (project length unit, 0: none). Each clay
  // and sand layer's strength test and sand kind are in its property table.
  int DesignSet = 0;
  Extended ScourDepth = 0;

  TProjectTables &Tables() const { return *fTables; }

  // A new project with the defaults: one empty sand layer, one empty t-z
  // depth, unchanged. The caller closes its data windows first.
  static std::unique_ptr<TProgramData> Create(TProjectTables &tables, const QString &fileName = kDefaultFileName,
                                              int units = kUnitsEnglish, const QString &title = "New Pile");

  // A project read from a file. `error` is empty after a complete read;
  // otherwise it holds the reader's message and the project holds what was
  // read up to the failure (always with at least one layer row).
  struct TReadResult {
    std::unique_ptr<TProgramData> data;
    QString error;
    int errorLine = 0;  // where reading stopped (1-based); 0 when the file could not be read at all
    bool Complete() const { return data && error.isEmpty(); }
  };
  static TReadResult CreateFromFile(TProjectTables &tables, const QString &path, int format);
  // The same for the file's contents already in memory.
  static TReadResult CreateFromData(TProjectTables &tables, const QByteArray &data, const QString &path,
                                    int format);
  // Reads the file once, whole, into `bytes` (empty when it cannot be read),
  // then the project from those bytes: what was checked is what was read.
  static TReadResult ReadWhole(TProjectTables &tables, const QString &path, int format, QByteArray &bytes);

  // Converts the project and its tables to another unit system.
  void SetUnits(int units);
  // Defined settlements 0.1, 0.25, 0.5, 0.75 and six times 1.0 in (or in m).
  void InitPDSET();

  // Edits that keep the invariants: exactly one of the proposed length and
  // the design load is in force (METHOD 2 with a length, 1 without), no
  // multiple lengths or design charts without a length, and the reduction
  // factor 1 under compression.
  void SetProposedLength(Extended length);
  void SetDesignLoad(Extended load);
  void SetLoading(int kcycl, Extended rcycl);

  // Applies the writer's rules (method from the proposed length, one mode's
  // quantity cleared, options that do not apply cleared).
  void Normalise();
  // The file's text (CRLF lines, "." decimal point) of the normalised project;
  // the project itself is not changed.
  QByteArray ToFileText() const;
  // Writes the project to FileName through a temporary file in the same
  // folder, which replaces the old file only once it is complete. On success
  // the project is normalised and the changed state cleared; on failure
  // EInOutError and nothing changes, on disk or in memory.
  void Save();

 private:
  static TReadResult create(TProjectTables &tables, const QString &path, int format,
                            const std::function<TWordReader()> &open);
  void read(const QString &path, int format, const std::function<TWordReader()> &open, int &errorLine);
  // Readers of the current and the older layouts; they throw EInOutError on the first problem.
  void ReadVersion8(TWordReader &reader);
  // The block of design methods after the records; on a bad block
  // EInOutError with its message, `errorLine` its line.
  void readMethodBlock(const TWordReader &reader, int &errorLine);
  void ReadPrevVersions(TWordReader &reader, bool newVariant);
  void startRead(const QString &path);
  void readOpening(TWordReader &reader);
  int readPierAndLoads(TWordReader &reader);
  void readLayer(TWordReader &reader, int row, bool version8);
  TProjectTables *fTables;
};

// What the program says when a project file does not read: the reader's own
// text, then the file and the line where reading stopped.
QString OpenFailureMessage(const QString &path, const TProgramData::TReadResult &read);

// File-name rules.
// The file's name without its folder ("/" or "\\" separated), as on disk.
QString FileNameOnly(const QString &fileName);
// The name the Save As dialog's title gives a project: without a ".pq8"
// extension, its first letter upper-cased.
QString DisplayName(const QString &fileName);
// The main window's title: the program and the project's file name as it is on disk.
QString WindowCaption(const QString &fileName);
bool IsUnnamed(const QString &fileName);
// Save must go through Save As: unnamed, or not a ".pq8d" file.
bool NeedsSaveAs(const QString &fileName);
// The name Save As proposes: the extension becomes ".pq8d".
QString ProposedSaveName(const QString &fileName);
// Title of the Save As dialog: "Save " + display name + " As".
QString SaveAsTitle(const QString &fileName);
// The reader of a file opened without the dialog (command line, dropped
// file, recent files): ffNone when it is not opened.
TFileFormat FormatForExtension(const QString &path);

}  // namespace pylar
