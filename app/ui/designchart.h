// TfrmDesignCharts: "LRFD Design Charts", the length and diameter variation
// and the defined settlements of the design charts.
#pragma once

#include "ui/Options.h"

#include <array>

class QTableWidget;
class QToolButton;

namespace pylar {

class TfrmDesignCharts : public TLengthRangeForm {
  Q_OBJECT

 public:
  explicit TfrmDesignCharts(const TProjectAccess &project, QWidget *parent = nullptr);
  void LoadFromModel() override;

  TDataEdit *DiameterIncrement() const { return fDiameterIncrement; }
  TDataEdit *NumberOfPoints() const { return fPoints; }
  QToolButton *Up() const { return fUp; }
  QToolButton *Down() const { return fDown; }
  QTableWidget *Settlements() const { return fSettlements; }

 protected:
  bool validate() override;
  void storeToModel() override;

 private:
  void pointsChanged();
  void step(int delta);
  void setRows(int rows);
  int roundedPoints() const;

  TDataEdit *fDiameterIncrement;
  TDataEdit *fPoints;
  QToolButton *fUp;
  QToolButton *fDown;
  QTableWidget *fSettlements;
  // Texts of the ten settlement rows, kept while rows are hidden by a smaller count.
  std::array<QString, kMaxSettlements> fTexts;
};

}  // namespace pylar
