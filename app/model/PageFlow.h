// Blocks of a document placed one below the other on pages of a fixed
// height (the calculation report's page layout, without any drawing).
//
// The rules:
//  - a block that does not fit the rest of a page starts the next one;
//  - a block placed "with the next" (a heading, a table's column headings,
//    the first rows of a table) goes to the next page together with the
//    block after it, so no heading ends a page without what it introduces;
//    only those few blocks move, so the rule alone never leaves more of a
//    page empty than they take;
//  - a run of such blocks that already starts its page stays (moving it
//    would gain nothing);
//  - a run of them together with its block taller than a page does not
//    move (it could not fit anywhere);
//  - a table whose rows run on over a page break repeats its column headings:
//    its writer asks Breaks() before each row.
#pragma once

#include <vector>

namespace pylar {

class TPageFlow {
 public:
  explicit TPageFlow(double pageHeight) : fHeight(pageHeight) {}

  // Places a block and returns its number (0, 1, ...).
  int Place(double height, bool withNext = false);
  // Room below the last block; none at the top of a page.
  void Space(double height);
  // A new page unless the current one is still empty.
  void NewPage();
  // True when nothing is placed on the current page yet.
  bool AtTop() const { return fPageBlocks.back().empty(); }
  // The height left on the current page.
  double Left() const { return fHeight - fY; }
  // True when a block of this height starts a new page if placed now.
  bool Breaks(double height) const { return !AtTop() && fY + height > fHeight; }

  double PageHeight() const { return fHeight; }
  int PageCount() const { return static_cast<int>(fPageBlocks.size()); }
  // Blocks of a page, in order.
  const std::vector<int> &PageBlocks(int page) const { return fPageBlocks[static_cast<std::size_t>(page)]; }
  // Where a block stands: its page and its top from the page's top.
  int PageOf(int block) const { return fBlocks[static_cast<std::size_t>(block)].page; }
  double TopOf(int block) const { return fBlocks[static_cast<std::size_t>(block)].top; }
  double HeightOf(int block) const { return fBlocks[static_cast<std::size_t>(block)].height; }

 private:
  struct TBlock {
    double height = 0;
    bool withNext = false;
    int page = 0;
    double top = 0;
  };
  void startPage();

  double fHeight;
  double fY = 0;
  std::vector<TBlock> fBlocks;
  std::vector<std::vector<int>> fPageBlocks{1};
};

}  // namespace pylar
