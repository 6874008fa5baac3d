#include "HelpText.h"

#include <QHash>
#include <QRegularExpression>

namespace pylar {

QString HeadingAnchor(const QString &heading) {
  QString anchor;
  for (const QChar c : heading.trimmed().toLower()) {
    if (c.isLetterOrNumber() || c.isMark() || c == u'_' || c == u'-')
      anchor += c;
    else if (c == u' ')
      anchor += u'-';
  }
  return anchor;
}

QStringList HeadingAnchors(const QStringList &headings) {
  QStringList anchors;
  QHash<QString, int> seen;
  for (const QString &heading : headings) {
    const QString anchor = HeadingAnchor(heading);
    const int count = seen.value(anchor, 0);
    seen[anchor] = count + 1;
    anchors << (count == 0 ? anchor : anchor + u'-' + QString::number(count));
  }
  return anchors;
}

QStringList MarkdownHeadings(const QString &markdown) {
  static const QRegularExpression heading(QStringLiteral("^#{1,6}[ \\t]+(.*?)[ \\t#]*$"));
  static const QRegularExpression link(QStringLiteral("!?\\[([^\\]]*)\\]\\([^)]*\\)"));
  static const QRegularExpression marks(QStringLiteral("[`*]|(?<![A-Za-z0-9])_|_(?![A-Za-z0-9])"));
  QStringList headings;
  bool fenced = false;
  for (const QString &line : markdown.split(u'\n')) {
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QStringLiteral("```")) || trimmed.startsWith(QStringLiteral("~~~"))) {
      fenced = !fenced;
      continue;
    }
    if (fenced) continue;
    const QRegularExpressionMatch m = heading.match(line.trimmed().isEmpty() ? QString() : line);
    if (!m.hasMatch()) continue;
    QString text = m.captured(1);
    text.replace(link, QStringLiteral("\\1"));
    text.remove(marks);
    headings << text.trimmed();
  }
  return headings;
}

}  // namespace pylar
