#include "ui/VaryLength.h"

namespace pylar {

TfrmVaryLength::TfrmVaryLength(const TProjectAccess &project, QWidget *parent)
    : TLengthRangeForm(project, QStringLiteral("Multiple Pylar Lengths"),
                       QStringLiteral("Evaluate Pylar Lengths (for Specified Diameter)"), &TProgramData::IPENT, &TProgramData::IChart,
                       {QStringLiteral("* Should be at least 6 diameters \n   plus any exclusion zone defined."),
                        QStringLiteral("- default: 70% maximum pylar length"),
                        QStringLiteral("- default: 3 ft or 1 m\n* A maximum of 100 increments\n  will be considered.")},
                       parent) {
  addCloseButton();
}

}  // namespace pylar
