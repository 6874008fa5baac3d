// Help files (Markdown beside the program) and the external text editor.
// A help file opens in the desktop's viewer; where none takes it (no handler,
// or the handler fails, as xdg-open does without a terminal for a terminal
// editor), it opens in the program's own help window, which renders Markdown.
// The editor commands report a program that cannot start, naming it.
#pragma once

#include <QMdiSubWindow>
#include <QStringList>

#include <functional>

class QLabel;
class QLineEdit;
class QMdiArea;
class QTextBrowser;
class QUrl;

namespace pylar {

class THelpWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  // Shows `path` in the help window (one for all help files).
  static THelpWindow *ShowHelp(QMdiArea *area, const QString &path);
  static THelpWindow *Find(QMdiArea *area);

  explicit THelpWindow(QWidget *parent = nullptr);
  // Shows a Markdown file; false (and the reason shown in the window) when it cannot be read.
  bool Open(const QString &path);
  const QString &Path() const { return fPath; }
  QTextBrowser *Browser() const { return fBrowser; }

  // The anchors of the file's headings, as its links name them.
  const QStringList &Anchors() const { return fAnchors; }
  // Scrolls the section of an anchor to the top; false when the file has no
  // such section.
  bool ShowSection(const QString &anchor);
  // Follows a link of the file: a section of it, another help file (at its
  // section), or anything else with the desktop's handler.
  void FollowLink(const QUrl &link);
  // Finds the text after the cursor (before it, backwards), around the end;
  // the find is selected. False when the file does not hold it.
  bool FindText(const QString &text, bool backward = false);
  QLineEdit *FindField() const { return fFind; }

 private:
  void addAnchors();
  QString fPath;
  QTextBrowser *fBrowser;
  QLineEdit *fFind;
  QLabel *fFindStatus;
  QStringList fAnchors;
};

// Hands a file to the desktop's handler; calls `done` with true when the
// handler took it, false when there is none or it failed. `done` may be
// called later (the handler runs as its own process).
using TDesktopOpener = std::function<void(const QString &path, std::function<void(bool opened)> done)>;
// The platform's opener: xdg-open on Linux (watched for its exit status),
// the desktop services elsewhere.
TDesktopOpener DesktopOpener();

// Opens a help file: missing -> a message naming it; otherwise the desktop's
// viewer, or the help window when the desktop has none.
void OpenHelpFile(QMdiArea *area, const QString &path, const TDesktopOpener &opener = DesktopOpener());

// Starts the external text editor on `path` without waiting for it. When the
// program cannot be started (or, for xdg-open, ends with a failure) the
// information box names it and says where it is set.
using TProcessStarter = std::function<bool(const QString &program, const QStringList &arguments)>;
void StartTextEditor(QWidget *parent, const QString &program, const QString &path, const TProcessStarter &start = {});

}  // namespace pylar
