// Recent-files order, window caption and file-name rules of the main window.
#include "model/Main.h"

#include <gtest/gtest.h>

namespace pylar {
namespace {

QStringList entries(const TRecentFiles &files) {
  QStringList list;
  for (int i = 0; i < kMaxRecentFiles; ++i) list << files.Entry(i);
  return list;
}

TEST(RecentFiles, MoveToTopRules) {
  TRecentFiles files;
  for (const char *name : {"a", "b", "c"}) files.MoveToTop(name);
  EXPECT_EQ(entries(files).mid(0, 4), QStringList({"c", "b", "a", ""}));
  EXPECT_EQ(files.Count(), 3);
  files.MoveToTop("c");  // already first: unchanged
  EXPECT_EQ(entries(files).mid(0, 3), QStringList({"c", "b", "a"}));
  files.MoveToTop("a");  // from position 3: the ones above move down, nothing is lost
  EXPECT_EQ(entries(files).mid(0, 4), QStringList({"a", "c", "b", ""}));
  for (int i = 0; i < 10; ++i) files.MoveToTop(QString("f%1").arg(i));
  EXPECT_EQ(files.Count(), 10);
  EXPECT_EQ(files.Entry(0), "f9");
  EXPECT_EQ(files.Entry(9), "f0");  // a, c and b dropped, oldest first
  files.MoveToTop("f0");            // the last one moves up without dropping anything
  EXPECT_EQ(entries(files), QStringList({"f0", "f9", "f8", "f7", "f6", "f5", "f4", "f3", "f2", "f1"}));
}

TEST(RecentFiles, CaptionLeavesOutTheCurrentFolderOnly) {
  TRecentFiles files;
  files.MoveToTop("/jobs/other/p.pq8d");
  files.MoveToTop("/jobsx/p.pq8d");
  files.MoveToTop("/jobs/p.pq8d");
  EXPECT_EQ(files.Caption(0, "/jobs"), "1 p.pq8d");
  EXPECT_EQ(files.Caption(1, "/jobs"), "2 /jobsx/p.pq8d");
  EXPECT_EQ(files.Caption(2, "/jobs/"), "3 other/p.pq8d");
}

TEST(ProjectNames, CommandLineNameGetsTheProjectExtension) {
  EXPECT_EQ(CommandLineFileName("pier7"), "pier7.pq8d");
  EXPECT_EQ(CommandLineFileName("pier7.pqd"), "pier7.pqd");
  EXPECT_EQ(CommandLineFileName("jobs.2017/pier7"), "jobs.2017/pier7.pq8d");  // a folder's "." is no extension
}

TEST(ChildWindows, PlacedInsideTheWindowArea) {
  struct Case {
    QRect window;
    QSize area;
    QRect placed;
  };
  const Case cases[] = {
      {{10, 20, 300, 200}, {800, 600}, {10, 20, 300, 200}},     // fits: stays
      {{600, 500, 300, 200}, {800, 600}, {500, 400, 300, 200}},  // sticks out right and below: moved back
      {{-40, -10, 300, 200}, {800, 600}, {0, 0, 300, 200}},      // above and left of the area
      {{100, 50, 900, 700}, {800, 600}, {0, 0, 800, 600}},       // larger than the area: cut to it
      {{100, 50, 900, 100}, {800, 600}, {0, 50, 800, 100}},      // too wide only
      {{5, 5, 300, 200}, {0, 0}, {0, 0, 1, 1}},                  // no area yet
  };
  for (const Case &c : cases) EXPECT_EQ(PlaceInsideArea(c.window, c.area), c.placed) << c.window.x() << "," << c.window.y();
}

}  // namespace
}  // namespace pylar
