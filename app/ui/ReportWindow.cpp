#include "ui/ReportWindow.h"

#include "ui/Messages.h"
#include "ui/TextPages.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QToolBar>
#include <QVBoxLayout>

namespace pylar {

namespace {

QString canonical(const QString &path) { return QFileInfo(path).absoluteFilePath(); }

}  // namespace

QString TReportWindow::Caption(const QString &path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  QString what = QStringLiteral("Text");
  if (suffix == QLatin1String("pq8o")) what = QStringLiteral("Output Text");
  else if (suffix == QLatin1String("pq8r")) what = QStringLiteral("Processor-Run Notes");
  else if (suffix == QLatin1String("pq8z")) what = QStringLiteral("Detail Listing");
  else if (suffix == QLatin1String("pq8d")) what = QStringLiteral("Input Text");
  return what + QStringLiteral(" - ") + QFileInfo(path).fileName();
}

TReportWindow *TReportWindow::Find(QMdiArea *area, const QString &path) {
  const QString wanted = canonical(path);
  for (QMdiSubWindow *window : area->subWindowList())
    if (auto *text = qobject_cast<TReportWindow *>(window); text && text->Path() == wanted) return text;
  return nullptr;
}

TReportWindow *TReportWindow::ShowFile(QMdiArea *area, const QString &path) {
  TReportWindow *window = Find(area, path);
  if (window) {
    window->Reload();
  } else {
    window = new TReportWindow(path);
    area->addSubWindow(window);
    window->resize(std::min(area->width() - 20, 900), std::max(area->height() - 40, 300));
  }
  window->showNormal();
  area->setActiveSubWindow(window);
  window->fText->setFocus();
  return window;
}

void TReportWindow::ReloadAll(QMdiArea *area) {
  for (QMdiSubWindow *window : area->subWindowList())
    if (auto *text = qobject_cast<TReportWindow *>(window)) text->Reload();
}

TReportWindow::TReportWindow(const QString &path, QWidget *parent)
    : QMdiSubWindow(parent), fPath(canonical(path)), fText(new QPlainTextEdit), fSections(new QListWidget),
      fFind(new QLineEdit), fFindStatus(new QLabel), fNotice(new QLabel) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(Caption(fPath));

  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::TypeWriter);
  fText->setFont(font);
  fText->setReadOnly(true);
  fText->setLineWrapMode(QPlainTextEdit::NoWrap);
  fText->setUndoRedoEnabled(false);
  fText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  fText->setObjectName(QStringLiteral("ReportText"));

  fSections->setObjectName(QStringLiteral("ReportSections"));
  connect(fSections, &QListWidget::itemActivated, this,
          [this](QListWidgetItem *item) { JumpToSection(fSections->row(item)); });
  connect(fSections, &QListWidget::itemClicked, this,
          [this](QListWidgetItem *item) { JumpToSection(fSections->row(item)); });

  fNotice->setWordWrap(true);
  fNotice->setObjectName(QStringLiteral("ReportNotice"));
  fNotice->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; color: #5a3d00; padding: 4px; }"));
  fNotice->setVisible(false);

  auto *tools = new QToolBar;
  tools->setIconSize(QSize(16, 16));
  tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
  fFind->setPlaceholderText(QStringLiteral("Find (Ctrl+F)"));
  fFind->setClearButtonEnabled(true);
  fFind->setMaximumWidth(220);
  tools->addWidget(fFind);
  auto addTool = [this, tools](const QString &text, const QKeySequence &key, auto handler) {
    auto *action = new QAction(text, this);
    if (!key.isEmpty()) {
      action->setShortcut(key);
      action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
      action->setToolTip(text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + u')');
    }
    connect(action, &QAction::triggered, this, handler);
    tools->addAction(action);
    this->addAction(action);  // the shortcut works anywhere in the window
    return action;
  };
  addTool(QStringLiteral("Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3), &TReportWindow::FindPrevious);
  addTool(QStringLiteral("Next"), QKeySequence(Qt::Key_F3), &TReportWindow::FindNext);
  tools->addWidget(fFindStatus);
  tools->addSeparator();
  addTool(QStringLiteral("Copy"), QKeySequence(), &TReportWindow::Copy);
  // The main window's Print command (Ctrl+P) prints the active window, and
  // its F5 runs the analysis, which reloads every open text window: neither
  // key is taken here as well, where it would make the main window's command
  // ambiguous.
  QAction *print = addTool(QStringLiteral("Print..."), QKeySequence(), &TReportWindow::Print);
  print->setToolTip(QStringLiteral("Print... (") + QKeySequence(QKeySequence::Print).toString(QKeySequence::NativeText) +
                    u')');
  addTool(QStringLiteral("Export PDF..."), QKeySequence(), &TReportWindow::ExportPdfAs);
  addTool(QStringLiteral("Reload"), QKeySequence(), &TReportWindow::Reload);
  auto *findAction = new QAction(this);
  findAction->setShortcut(QKeySequence::Find);
  findAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(findAction, &QAction::triggered, this, [this] {
    fFind->setFocus();
    fFind->selectAll();
  });
  addAction(findAction);
  connect(fFind, &QLineEdit::returnPressed, this, &TReportWindow::FindNext);

  auto *splitter = new QSplitter;
  splitter->addWidget(fSections);
  splitter->addWidget(fText);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({300, 800});

  auto *body = new QWidget;
  auto *layout = new QVBoxLayout(body);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(tools);
  layout->addWidget(fNotice);
  layout->addWidget(splitter, 1);
  setWidget(body);

  PdfFileDialog = [this](const QString &proposed) {
    return QFileDialog::getSaveFileName(this, QStringLiteral("Export PDF"), proposed,
                                        QStringLiteral("PDF files (*.pdf)"));
  };
  PrintDialog = [this](QPrinter &printer) {
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted;
  };
  Reload();
}

void TReportWindow::Reload() {
  try {
    const TTextFile file = ReadTextFile(fPath);
    fError.clear();
    show(file);
  } catch (const ETextFileError &e) {
    fError = e.message();
    show(TTextFile{});
  }
}

void TReportWindow::show(const TTextFile &file) {
  // The same file read again keeps the place the reader was at.
  const bool again = !fFile.lines.isEmpty() && !file.lines.isEmpty();
  const int scroll = fText->verticalScrollBar()->value();
  const int cursor = fText->textCursor().position();
  fFile = file;
  fText->setPlainText(fFile.Text());
  if (again) {
    QTextCursor c = fText->textCursor();
    c.setPosition(std::min(cursor, static_cast<int>(fText->document()->characterCount()) - 1));
    fText->setTextCursor(c);
    fText->verticalScrollBar()->setValue(scroll);
  }
  fSections->clear();
  for (const TTextSection &s : fFile.sections) {
    auto *item = new QListWidgetItem(s.title, fSections);
    item->setToolTip(QStringLiteral("Line %1").arg(s.line + 1));
  }
  const QString notice = Notice();
  fNotice->setText(notice);
  fNotice->setVisible(!notice.isEmpty());
  setWindowTitle(Caption(fPath) + (fFile.cutShort ? QStringLiteral(" [cut short]") : QString()));
}

QString TReportWindow::Notice() const {
  if (!fError.isEmpty()) return fError;
  return fFile.notices.join(u'\n');
}

bool TReportWindow::FindText(const QString &text, bool backward) {
  if (text.isEmpty()) return false;
  const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  fFindStatus->clear();
  if (fText->find(text, flags)) return true;
  // Around the end (or the start) of the file.
  QTextCursor start = fText->textCursor();
  QTextCursor around(fText->document());
  around.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
  fText->setTextCursor(around);
  if (fText->find(text, flags)) {
    fFindStatus->setText(backward ? QStringLiteral("  Continued from the end  ")
                                  : QStringLiteral("  Continued from the top  "));
    return true;
  }
  fText->setTextCursor(start);
  fFindStatus->setText(QStringLiteral("  Not found  "));
  return false;
}

void TReportWindow::FindNext() { FindText(fFind->text(), false); }
void TReportWindow::FindPrevious() { FindText(fFind->text(), true); }

void TReportWindow::JumpToSection(int index) {
  if (index < 0 || index >= static_cast<int>(fFile.sections.size())) return;
  const int line = fFile.sections[static_cast<std::size_t>(index)].line;
  const QTextBlock block = fText->document()->findBlockByNumber(line);
  if (!block.isValid()) return;
  QTextCursor c(block);
  fText->setTextCursor(c);
  // Without wrapping the scroll bar counts lines: the heading goes to the top.
  fText->verticalScrollBar()->setValue(line);
  if (fSections->currentRow() != index) fSections->setCurrentRow(index);
}

void TReportWindow::Copy() {
  const QString selected = fText->textCursor().selectedText();
  // A selection holds paragraph separators where lines end.
  QString text = selected.isEmpty() ? fFile.Text() : selected;
  text.replace(QChar::ParagraphSeparator, u'\n');
  QGuiApplication::clipboard()->setText(text);
}

QString TReportWindow::heading() const { return QDir::toNativeSeparators(fPath); }

QString TReportWindow::ExportPdf(const QString &pdfPath) {
  if (fFile.lines.isEmpty()) return fError.isEmpty() ? QStringLiteral("There is no text to export.") : fError;
  return ExportTextPdf(fFile.lines, heading(), pdfPath);
}

void TReportWindow::ExportPdfAs() {
  const QString proposed = QFileInfo(fPath).path() + u'/' + QFileInfo(fPath).completeBaseName() + u'-' +
                           QFileInfo(fPath).suffix() + QStringLiteral(".pdf");
  const QString chosen = PdfFileDialog(proposed);
  if (chosen.isEmpty()) return;
  const QString error = ExportPdf(chosen);
  if (!error.isEmpty()) ShowInformation(this, error);
}

void TReportWindow::Print() {
  if (fFile.lines.isEmpty()) {
    ShowInformation(this, Notice().isEmpty() ? QStringLiteral("There is no text to print.") : Notice());
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QFileInfo(fPath).fileName());
  if (!PrintDialog(printer)) return;
  TTextPagePainter pages(fFile.lines, heading());
  if (!pages.Print(printer)) ShowInformation(this, QStringLiteral("The pages could not be printed."));
}

}  // namespace pylar
