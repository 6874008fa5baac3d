// The anchors of the help files' headings: every link of the manuals' contents
// names a section that exists, so the help window can jump to it.
#include "model/HelpText.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace pylar;

namespace {

QString readText(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

TEST(HelpText, HeadingAnchors) {
  struct Case {
    const char *heading, *anchor;
  };
  const Case cases[] = {
      {"1. Getting started", "1-getting-started"},
      {"3.10 Number fields of the report and the plot data", "310-number-fields-of-the-report-and-the-plot-data"},
      {"2.6 Weak rock: cohesive intermediate geomaterial (O'Neill et al. 1996; FHWA-IF-99-025 ch. 11)",
       "26-weak-rock-cohesive-intermediate-geomaterial-oneill-et-al-1996-fhwa-if-99-025-ch-11"},
      {"User's manual (Help > User's Manual)", "users-manual-help--users-manual"},
      {"  The 3-D View  ", "the-3-d-view"},
      {"snake_case and \xc3\x89tude \xc3\xa0 3 m", "snake_case-and-\xc3\xa9tude-\xc3\xa0-3-m"},
  };
  for (const Case &c : cases) EXPECT_EQ(HeadingAnchor(QString::fromUtf8(c.heading)), QString::fromUtf8(c.anchor)) << c.heading;
  EXPECT_EQ(HeadingAnchors({"Notes", "Other", "Notes", "notes"}),
            QStringList({"notes", "other", "notes-1", "notes-2"}));
}

TEST(HelpText, MarkdownHeadingsAsShown) {
  const QString markdown =
      "# Title\n"
      "Text with # inside\n"
      "```sh\n"
      "# a comment in code, no heading\n"
      "```\n"
      "## [User's manual](user-manual.md) (**Help > User's Manual**)\n"
      "### The `pylar run` command ###\n"
      "#hashtag without blank\n"
      "#### snake_case _emphasis_\r\n";
  EXPECT_EQ(MarkdownHeadings(markdown), QStringList({"Title", "User's manual (Help > User's Manual)",
                                                     "The pylar run command", "snake_case emphasis"}));
}

// Each link of the help files to a section ("#anchor" in the file itself or
// "file.md#anchor" beside it) names a heading of its target.
TEST(HelpText, EveryLinkToASectionOfTheManualsFindsIt) {
  const QDir docs(QStringLiteral(PYLAR_SOURCE_DIR "/docs"));
  static const QRegularExpression link(QStringLiteral("\\]\\(([^)#\\s]*)#([^)\\s]+)\\)"));
  int links = 0;
  for (const QString &name : docs.entryList({QStringLiteral("*.md")}, QDir::Files)) {
    const QString text = readText(docs.filePath(name));
    ASSERT_FALSE(text.isEmpty()) << name.toStdString();
    for (auto it = link.globalMatch(text); it.hasNext();) {
      const QRegularExpressionMatch m = it.next();
      const QString target = m.captured(1).isEmpty() ? name : m.captured(1);
      if (target.contains(u'/')) continue;  // outside the help files
      const QStringList anchors = HeadingAnchors(MarkdownHeadings(readText(docs.filePath(target))));
      EXPECT_TRUE(anchors.contains(m.captured(2))) << name.toStdString() << ": " << m.captured(0).toStdString();
      ++links;
    }
  }
  EXPECT_GT(links, 40);
}
