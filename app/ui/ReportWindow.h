// The text window of one engine file (report, run notes or detail listing):
// the file as written, in a fixed-width font without wrapping, with find,
// a side list of its sections that jumps to each, copy, print and PDF export.
// The window only reads its file; it rereads it on request (after a run).
#pragma once

#include "model/ReportFile.h"

#include <QMdiSubWindow>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMdiArea;
class QPlainTextEdit;
class QPrinter;

namespace pylar {

class TReportWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  // Shows the window of `path` in `area`: an open one is brought forward and
  // reread, otherwise a new one is made.
  static TReportWindow *ShowFile(QMdiArea *area, const QString &path);
  // The open window of `path`, or null.
  static TReportWindow *Find(QMdiArea *area, const QString &path);
  // Rereads the file of every open text window (after a run).
  static void ReloadAll(QMdiArea *area);
  // The window caption of a file: what it is and its name.
  static QString Caption(const QString &path);

  explicit TReportWindow(const QString &path, QWidget *parent = nullptr);

  const QString &Path() const { return fPath; }
  // Rereads the file, keeping the place shown when the file is the same one.
  void Reload();
  const TTextFile &File() const { return fFile; }
  // The message shown instead of the text when the file cannot be shown.
  const QString &Error() const { return fError; }
  // The notices over the text (cut short, damaged), empty when none.
  QString Notice() const;

  // Finds the text from the cursor on (or back), around the end of the file
  // when needed; false when the file does not hold it. Case is ignored.
  bool FindText(const QString &text, bool backward = false);
  void FindNext();
  void FindPrevious();
  // Shows section `index` of File().sections at the top of the view.
  void JumpToSection(int index);
  // The selected text, or the whole text when nothing is selected, to the clipboard.
  void Copy();

  // Writes the file's pages to a PDF file; empty, or the reason it failed.
  QString ExportPdf(const QString &pdfPath);
  // Prints through the print dialog (PrintDialog); its pages as ExportPdf's.
  void Print();
  // Asks for the PDF file name and writes it.
  void ExportPdfAs();

  QPlainTextEdit *TextView() const { return fText; }
  QListWidget *SectionList() const { return fSections; }
  QLineEdit *FindField() const { return fFind; }
  QLabel *FindStatus() const { return fFindStatus; }

  // Dialogs; tests replace them. The PDF dialog returns an empty name when
  // cancelled; the print dialog returns false when cancelled.
  std::function<QString(const QString &proposed)> PdfFileDialog;
  std::function<bool(QPrinter &printer)> PrintDialog;

 private:
  void show(const TTextFile &file);
  QString heading() const;

  QString fPath;
  TTextFile fFile;
  QString fError;
  QPlainTextEdit *fText;
  QListWidget *fSections;
  QLineEdit *fFind;
  QLabel *fFindStatus;
  QLabel *fNotice;
};

}  // namespace pylar
