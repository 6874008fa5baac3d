#include "ui/ReportJobDialog.h"

#include "model/DataEdit.h"
#include "ui/DataEdit.h"
#include "ui/Messages.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace pylar {

TReportJobDialog::TReportJobDialog(const TReportJob &job, int units, QWidget *parent)
    : QDialog(parent), fUnits(units) {
  setWindowTitle(QStringLiteral("Calculation Report Job"));
  auto *layout = new QVBoxLayout(this);
  const auto field = [this](const QString &name, const QString &value) {
    auto *edit = new QLineEdit(value, this);
    edit->setObjectName(name);
    edit->setMaxLength(kJobTextLimit);
    edit->setMinimumWidth(320);
    return edit;
  };
  auto *yours = new QGroupBox(QStringLiteral("For every project (your settings)"), this);
  auto *yoursForm = new QFormLayout(yours);
  fCompany = field(QStringLiteral("Company"), job.Company);
  fEngineer = field(QStringLiteral("Engineer"), job.Engineer);
  fAllowable = new TDataEdit(this);
  fAllowable->setObjectName(QStringLiteral("AllowableSettlement"));
  fAllowable->SetMinVal(units == kUnitsSI ? 0.01 : 0.001);
  fAllowable->SetMaxVal(units == kUnitsSI ? 10000 : 400);
  fAllowable->SetNumber(job.Allowable(units));
  yoursForm->addRow(QStringLiteral("&Company:"), fCompany);
  yoursForm->addRow(QStringLiteral("&Engineer (computed by):"), fEngineer);
  auto *allowableLabel = new QLabel(
      units == kUnitsSI ? QStringLiteral("&Allowable settlement (mm):") : QStringLiteral("&Allowable settlement (in):"),
      this);
  allowableLabel->setBuddy(fAllowable);
  yoursForm->addRow(allowableLabel, fAllowable);
  layout->addWidget(yours);

  auto *project = new QGroupBox(QStringLiteral("For this project (kept in its job file)"), this);
  auto *projectForm = new QFormLayout(project);
  fProjectNumber = field(QStringLiteral("ProjectNumber"), job.ProjectNumber);
  fRevision = field(QStringLiteral("Revision"), job.Revision);
  fLocation = field(QStringLiteral("Location"), job.Location);
  fChecker = field(QStringLiteral("Checker"), job.Checker);
  projectForm->addRow(QStringLiteral("Project &number:"), fProjectNumber);
  projectForm->addRow(QStringLiteral("&Revision:"), fRevision);
  projectForm->addRow(QStringLiteral("&Location:"), fLocation);
  projectForm->addRow(QStringLiteral("C&hecker (checked by):"), fChecker);
  layout->addWidget(project);

  auto *note = new QLabel(QStringLiteral("A field left empty is a blank line on the report's first page, to fill in by "
                                         "hand."),
                          this);
  note->setWordWrap(true);
  layout->addWidget(note);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (fAllowable->CloseQuery()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QLineEdit *TReportJobDialog::Field(const QString &objectName) const { return findChild<QLineEdit *>(objectName); }

bool TReportJobDialog::Read(TReportJob &job) {
  if (!fAllowable->CloseQuery()) return false;
  job.Company = CleanJobText(fCompany->text());
  job.Engineer = CleanJobText(fEngineer->text());
  job.ProjectNumber = CleanJobText(fProjectNumber->text());
  job.Revision = CleanJobText(fRevision->text());
  job.Location = CleanJobText(fLocation->text());
  job.Checker = CleanJobText(fChecker->text());
  job.SetAllowable(fUnits, static_cast<double>(fAllowable->Number()));
  return true;
}

bool EditReportJob(QWidget *parent, const QString &projectFile, int units, TReportJob &job) {
  TReportJobDialog dialog(job, units, parent);
  if (dialog.exec() != QDialog::Accepted || !dialog.Read(job)) return false;
  WriteReportJobSettings(job);
  if (const QString why = WriteReportJobFile(projectFile, job); !why.isEmpty())
    ShowInformation(parent, QStringLiteral("The job file %1 could not be written: %2\r"
                                           "The report is written with the values entered.")
                                .arg(QDir::toNativeSeparators(ReportJobFile(projectFile)), why));
  return true;
}

}  // namespace pylar
