// The history of a project's edits, for Undo and Redo. The project is small
// (its scalar settings, at most 40 layers with their property tables and 20
// depths of additional t-z curves), so each committed change keeps the whole
// project as it was before and after: undoing restores a state exactly,
// whatever window or command made the change, and a change made in a window
// that does not know the history is still caught at the next commit, which
// compares the project with the state last committed.
#pragma once

#include "DataUnit.h"

#include <QStringList>
#include <QUndoStack>

#include <functional>
#include <vector>

namespace pylar {

// Every value of a project the user edits: the scalar settings (not the file
// name, which Save As sets, nor the load-settlement flag a run reports), each
// layer's model, values and property table, and the t-z depths. The unit system
// is one of the settings.
class TProjectSnapshot {
 public:
  static TProjectSnapshot Capture(const TProgramData &project);
  // Puts the project back as it was: the unit system, every setting, the
  // layers (each with a property table of its model) and the t-z depths.
  void Restore(TProgramData &project) const;
  bool operator==(const TProjectSnapshot &other) const { return ChangedValues(other).isEmpty(); }
  // Names of the values that differ ("DSTART", "layer 2 Depth", "layer 1
  // property 3 top", "layers", ...); empty when the two are the same project.
  QStringList ChangedValues(const TProjectSnapshot &other) const;

 private:
  struct TLayer {
    int code = 0;
    std::vector<Extended> values;  // the numeric columns of the layer table, by column
    std::vector<Extended> top, bottom;  // the property table, by column
  };
  std::vector<Extended> fReals;  // the real and whole-number settings, in one list
  QString fTitle;
  std::vector<TLayer> fLayers;
  std::vector<Extended> fTzDepths;
};

class TProjectHistory {
 public:
  using TProjectSource = std::function<TProgramData &()>;
  explicit TProjectHistory(TProjectSource project);
  ~TProjectHistory();
  TProjectHistory(const TProjectHistory &) = delete;
  TProjectHistory &operator=(const TProjectHistory &) = delete;

  QUndoStack &Stack() { return fStack; }
  const QUndoStack &Stack() const { return fStack; }

  // A new history: the project as it is now is the saved state (New, Open).
  void Reset();
  // Records the project as it is now when it differs from the state last
  // committed, as one step named `label`. A change of the one value the step
  // before changed alone is merged into that step (typing a value again),
  // unless the project was saved in between. True when a step was recorded.
  bool Commit(const QString &label);
  // The project differs from the saved state: steps done or undone since
  // the save, or a change not committed yet.
  bool HasChanges() const;
  // The project as it is now is what the file holds (after a save, which may
  // have normalised a value or two).
  void MarkSaved();
  // The project counts as changed until the next save, whatever is undone.
  void MarkUnsaved();

  // Called after Undo or Redo put the project back into a state.
  std::function<void()> OnRestored;

 private:
  class TStep;
  void restore(const TProjectSnapshot &state);

  TProjectSource fProject;
  QUndoStack fStack;
  TProjectSnapshot fCommitted;  // the project as the history last saw it
};

}  // namespace pylar
