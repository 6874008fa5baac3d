// The help files' headings as link targets: the anchor a heading gets, as
// Markdown links name it ("#4-the-soil-profile" for "4. The soil profile"),
// so that the contents of the manuals jump to their sections.
#pragma once

#include <QString>
#include <QStringList>

namespace pylar {

// The anchor of a heading's text: lower case, letters, digits, "_" and "-"
// kept, blanks turned into "-", everything else left out.
QString HeadingAnchor(const QString &heading);

// The anchors of a file's headings, in order: a heading whose anchor an
// earlier one already has gets "-1", "-2", ... appended.
QStringList HeadingAnchors(const QStringList &headings);

// The text of the headings of a Markdown file as it is shown: "#" lines
// outside fenced code blocks, without the "#" marks, links reduced to their
// text and the marks of emphasis and code left out.
QStringList MarkdownHeadings(const QString &markdown);

}  // namespace pylar
