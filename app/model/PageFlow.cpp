#include "PageFlow.h"

namespace pylar {

void TPageFlow::startPage() {
  fPageBlocks.emplace_back();
  fY = 0;
}

int TPageFlow::Place(double height, bool withNext) {
  if (Breaks(height)) {
    // The blocks placed "with the next" that end this page go along with it.
    std::vector<int> &blocks = fPageBlocks.back();
    std::size_t first = blocks.size();
    while (first > 0 && fBlocks[static_cast<std::size_t>(blocks[first - 1])].withNext) --first;
    std::vector<int> moving;
    if (first > 0 && first < blocks.size()) {
      const double offset = fBlocks[static_cast<std::size_t>(blocks[first])].top;
      if (fY - offset + height <= fHeight) moving.assign(blocks.begin() + static_cast<std::ptrdiff_t>(first), blocks.end());
    }
    const double end = fY;
    const double offset = moving.empty() ? 0 : fBlocks[static_cast<std::size_t>(moving.front())].top;
    if (!moving.empty()) blocks.resize(first);
    startPage();
    for (const int b : moving) {
      TBlock &block = fBlocks[static_cast<std::size_t>(b)];
      block.page = PageCount() - 1;
      block.top -= offset;
      fPageBlocks.back().push_back(b);
    }
    if (!moving.empty()) fY = end - offset;
  }
  const int index = static_cast<int>(fBlocks.size());
  fBlocks.push_back({height, withNext, PageCount() - 1, fY});
  fPageBlocks.back().push_back(index);
  fY += height;
  return index;
}

void TPageFlow::Space(double height) {
  if (!AtTop()) fY += height;
}

void TPageFlow::NewPage() {
  if (!AtTop()) startPage();
}

}  // namespace pylar
