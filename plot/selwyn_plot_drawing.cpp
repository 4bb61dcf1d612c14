#include "plot/selwyn_plot_drawing.h"

#include "plot/embed_plot.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = brx::toolkit;

constexpr int kWhite = tk::creatergb(255, 255, 255);
constexpr int kBlack = tk::creatergb(0, 0, 0);

}  // namespace

void draw_selwyn_picture(const SelwynPicture& s, int width, int height) {
  tk::setcolor(kBlack);
  tk::setbkcolor(kWhite);
  tk::setviewport(0, 0, width, height, 1);
  tk::clearviewport();
  tk::setmatchthemetextstyle();
  if (PlotHandle* h = build_selwyn_plot(s)) {
    draw_plot(h, 0, 0, width, height);
    destroy_plot(h);
  }
  tk::setcolor(tk::creatergb(kTitleColour.r, kTitleColour.g, kTitleColour.b));
  tk::setbkcolor(kWhite);
  tk::settextjustify(1, 1);
  tk::setmatchthemetextstyle();
  tk::outtextxy(width / 2, kTitleY, s.title.c_str());
  tk::setcolor(kBlack);
  tk::settextjustify(0, 1);
  tk::resetviewport();
}

}  // namespace brx
