// TfrmVaryLength: "Multiple Pylar Lengths", the evaluation of a range of pier
// lengths for the specified diameter.
#pragma once

#include "ui/Options.h"

namespace pylar {

class TfrmVaryLength : public TLengthRangeForm {
  Q_OBJECT

 public:
  explicit TfrmVaryLength(const TProjectAccess &project, QWidget *parent = nullptr);
};

}  // namespace pylar
