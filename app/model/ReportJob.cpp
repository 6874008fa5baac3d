#include "ReportJob.h"

#include "DataEdit.h"
#include "WholeFile.h"
#include "dynlib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QStringDecoder>

#include <cmath>

namespace pylar {

namespace {

constexpr const char *kJobFileHeading = "PYLAR REPORT JOB 1";
constexpr qint64 kJobFileLimit = 64 * 1024;  // a job file is a few hundred bytes

// Settings keys (in the program's group).
constexpr const char *kCompanyKey = "Report Company";
constexpr const char *kEngineerKey = "Report Engineer";
constexpr const char *kAllowableInKey = "Allowable Settlement (in)";
constexpr const char *kAllowableMmKey = "Allowable Settlement (mm)";

// Job file keys and the fields they fill.
struct TJobKey {
  const char *key;
  QString TReportJob::*field;
};
const TJobKey kJobKeys[] = {
    {"PROJECT NUMBER", &TReportJob::ProjectNumber},
    {"REVISION", &TReportJob::Revision},
    {"LOCATION", &TReportJob::Location},
    {"CHECKER", &TReportJob::Checker},
};

bool usableAllowable(double value) { return std::isfinite(value) && value > 0 && value < 1e6; }

}  // namespace

double TReportJob::Allowable(int units) const { return units == kUnitsSI ? AllowableMillimetres : AllowableInches; }

void TReportJob::SetAllowable(int units, double value) {
  (units == kUnitsSI ? AllowableMillimetres : AllowableInches) = value;
}

QString CleanJobText(const QString &text) {
  QString clean;
  for (const QChar c : text) clean += c.isPrint() ? c : QChar(u' ');
  clean = clean.simplified();
  if (clean.size() > kJobTextLimit) clean.truncate(kJobTextLimit);
  return clean;
}

void ReadReportJobSettings(TReportJob &job) {
  QSettings store(QStringLiteral("Vexlor"), QStringLiteral("PYLAR"));
  if (store.status() != QSettings::NoError) return;
  store.beginGroup(QString::fromLatin1(kProgramVersion));
  job.Company = CleanJobText(store.value(QLatin1String(kCompanyKey)).toString());
  job.Engineer = CleanJobText(store.value(QLatin1String(kEngineerKey)).toString());
  // A stored value that is no usable settlement keeps the default.
  bool ok = false;
  if (const double in = store.value(QLatin1String(kAllowableInKey)).toDouble(&ok); ok && usableAllowable(in))
    job.AllowableInches = in;
  if (const double mm = store.value(QLatin1String(kAllowableMmKey)).toDouble(&ok); ok && usableAllowable(mm))
    job.AllowableMillimetres = mm;
}

void WriteReportJobSettings(const TReportJob &job) {
  QSettings store(QStringLiteral("Vexlor"), QStringLiteral("PYLAR"));
  store.beginGroup(QString::fromLatin1(kProgramVersion));
  store.setValue(QLatin1String(kCompanyKey), CleanJobText(job.Company));
  store.setValue(QLatin1String(kEngineerKey), CleanJobText(job.Engineer));
  if (usableAllowable(job.AllowableInches)) store.setValue(QLatin1String(kAllowableInKey), job.AllowableInches);
  if (usableAllowable(job.AllowableMillimetres))
    store.setValue(QLatin1String(kAllowableMmKey), job.AllowableMillimetres);
  store.endGroup();
  store.sync();
}

QString ReportJobFile(const QString &projectFile) { return ChangeFileExt(projectFile, QStringLiteral(".pq8j")); }

QString ReadReportJobFile(const QString &projectFile, TReportJob &job) {
  const QString path = ReportJobFile(projectFile);
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return {};
  const QString shown = QDir::toNativeSeparators(path);
  // Devices and pipes could block or never end.
  if (!info.isFile()) return QStringLiteral("The job file %1 is not a regular file: it is not read.").arg(shown);
  if (info.size() > kJobFileLimit)
    return QStringLiteral("The job file %1 is larger than any job file: it is not read.").arg(shown);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return QStringLiteral("The job file %1 cannot be read: %2").arg(shown, file.errorString());
  const QByteArray data = file.read(kJobFileLimit + 1);
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8.decode(data);
  QStringList lines = text.split(u'\n');
  if (lines.isEmpty() || lines.front().trimmed() != QLatin1String(kJobFileHeading))
    return QStringLiteral("%1 is not a job file (its first line is not \"%2\"): it is not read.")
        .arg(shown, QLatin1String(kJobFileHeading));
  TReportJob read = job;
  for (const TJobKey &key : kJobKeys) read.*key.field = QString();
  for (qsizetype l = 1; l < lines.size(); ++l) {
    const QString &line = lines[l];
    const qsizetype colon = line.indexOf(u':');
    if (colon <= 0) continue;
    const QString name = line.left(colon).trimmed();
    for (const TJobKey &key : kJobKeys)
      if (name == QLatin1String(key.key)) read.*key.field = CleanJobText(line.mid(colon + 1));
  }
  job = read;
  return {};
}

QString WriteReportJobFile(const QString &projectFile, const TReportJob &job) {
  const QString path = ReportJobFile(projectFile);
  bool any = false;
  for (const TJobKey &key : kJobKeys) any = any || !CleanJobText(job.*key.field).isEmpty();
  if (!any && !QFileInfo(path).exists()) return {};
  QByteArray bytes = QByteArray(kJobFileHeading) + "\r\n";
  for (const TJobKey &key : kJobKeys)
    bytes += QByteArray(key.key) + ": " + CleanJobText(job.*key.field).toUtf8() + "\r\n";
  return WriteWholeFile(path, bytes);
}

TReportJob LoadReportJob(const QString &projectFile) {
  TReportJob job;
  ReadReportJobSettings(job);
  ReadReportJobFile(projectFile, job);
  return job;
}

void TExportArguments::ApplyTo(TReportJob &job, int units) const {
  const auto apply = [](QString &field, const std::optional<QString> &value) {
    if (value) field = CleanJobText(*value);
  };
  apply(job.Company, Company);
  apply(job.Engineer, Engineer);
  apply(job.Checker, Checker);
  apply(job.ProjectNumber, ProjectNumber);
  apply(job.Revision, Revision);
  apply(job.Location, Location);
  if (AllowableSettlement) job.SetAllowable(units, *AllowableSettlement);
}

TExportArguments ParseExportArguments(const QStringList &arguments) {
  TExportArguments parsed;
  if (arguments.isEmpty() || arguments.front() != QLatin1String("--export")) {
    parsed.Error = QStringLiteral("the first argument is not --export");
    return parsed;
  }
  struct TOption {
    const char *name;
    std::optional<QString> TExportArguments::*text;
  };
  const TOption options[] = {
      {"--company", &TExportArguments::Company},
      {"--engineer", &TExportArguments::Engineer},
      {"--checker", &TExportArguments::Checker},
      {"--project-number", &TExportArguments::ProjectNumber},
      {"--revision", &TExportArguments::Revision},
      {"--location", &TExportArguments::Location},
  };
  QStringList positional;
  for (qsizetype k = 1; k < arguments.size(); ++k) {
    const QString &argument = arguments[k];
    if (!argument.startsWith(QLatin1String("--"))) {
      positional << argument;
      continue;
    }
    QString name = argument, value;
    bool hasValue = false;
    if (const qsizetype equals = argument.indexOf(u'='); equals > 0) {
      name = argument.left(equals);
      value = argument.mid(equals + 1);
      hasValue = true;
    } else if (k + 1 < arguments.size()) {
      value = arguments[++k];
      hasValue = true;
    }
    if (!hasValue) {
      parsed.Error = QStringLiteral("%1 needs a value").arg(name);
      return parsed;
    }
    bool known = false;
    for (const TOption &option : options)
      if (name == QLatin1String(option.name)) {
        parsed.*option.text = value;
        known = true;
      }
    if (name == QLatin1String("--allowable-settlement")) {
      bool ok = false;
      const double number = QLocale::c().toDouble(value.trimmed(), &ok);
      if (!ok || !usableAllowable(number)) {
        parsed.Error = QStringLiteral("--allowable-settlement needs a positive number, not \"%1\"").arg(value);
        return parsed;
      }
      parsed.AllowableSettlement = number;
      known = true;
    }
    if (!known) {
      parsed.Error = QStringLiteral("unknown option %1").arg(name);
      return parsed;
    }
  }
  if (positional.size() != 2) {
    parsed.Error = QStringLiteral("--export needs an output folder and a project");
    return parsed;
  }
  parsed.OutDir = positional[0];
  parsed.Project = positional[1];
  return parsed;
}

}  // namespace pylar
