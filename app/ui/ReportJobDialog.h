// "Calculation Report Job": the job block of the calculation report, asked
// before the report is written. Company, engineer and the allowable
// settlement are kept in the user's settings for every project; project
// number, revision, location and checker in the project's job file beside it.
#pragma once

#include "model/ReportJob.h"

#include <QDialog>

class QLineEdit;

namespace pylar {

class TDataEdit;

class TReportJobDialog : public QDialog {
  Q_OBJECT

 public:
  // `units`: the project's (1 English: the allowable settlement in inches, 2 SI: in millimetres).
  TReportJobDialog(const TReportJob &job, int units, QWidget *parent = nullptr);

  // The job as entered; false (with a message) while a field holds no usable value.
  bool Read(TReportJob &job);

  QLineEdit *Field(const QString &objectName) const;
  TDataEdit *AllowableField() const { return fAllowable; }

 private:
  int fUnits;
  QLineEdit *fCompany, *fEngineer, *fProjectNumber, *fRevision, *fLocation, *fChecker;
  TDataEdit *fAllowable;
};

// Asks for the job block of the report of `projectFile`; on OK stores it
// (settings and job file) and returns true with `job` as entered. A job file
// that cannot be written is said in a message; the report is still written.
bool EditReportJob(QWidget *parent, const QString &projectFile, int units, TReportJob &job);

}  // namespace pylar
