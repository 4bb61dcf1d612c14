#include "plot/embed_plot.h"

#include "plot/toolkit_painter.h"
#include "toolkit/toolkit.h"

namespace brx {

namespace tk = brx::toolkit;

bool embed_plot(PlotHandle* h, int window, int x, int y, int width, int height) {
  // Drawing with no window current ends the program; a closed window is simply not drawn into.
  if (h == nullptr || !tk::isvalidwindow(window)) return false;
  h->window = window;
  tk::setcurrentwindow(window);
  const bool drawn = draw_plot(h, x, y, width, height);
  h->window = -1;
  return drawn;
}

bool draw_plot(PlotHandle* h, int x, int y, int width, int height) {
  if (h == nullptr) return false;
  tk::resetviewport();
  tk::setviewport(x, y, x + width, y + height, 1);
  tk::setbkcolor(tk::creatergb(255, 255, 255));
  tk::setcolor(tk::creatergb(0, 0, 0));
  tk::clearviewport();

  bool drawn = false;
  {
    // The viewport includes both edges: the painter is width + 1 by height + 1 pixels.
    ToolkitPainter painter;
    drawn = h->plot->Draw(painter);
  }
  tk::resetviewport();
  return drawn;
}

}  // namespace brx
