#include "plot/analysis_plot_drawing.h"

#include "plot/embed_plot.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

namespace tk = brx::toolkit;

constexpr int kWhite = tk::creatergb(255, 255, 255);
constexpr int kBlack = tk::creatergb(0, 0, 0);

int packed(SeriesColour c) {
  return tk::creatergb(c.r, c.g, c.b);
}

}  // namespace

void draw_analysis_plot(const AnalysisPlot& a) {
  tk::setbkcolor(kWhite);
  tk::setviewport(0, 0, kPlotSize, kPlotSize, 1);
  tk::clearviewport();
  if (shows_prompt(a)) {
    tk::setcolor(packed(kPromptColour));
    tk::setbkcolor(kWhite);
    tk::setmatchthemetextstyle();
    tk::outtextxy(kPromptX, kPromptY, kPlotPrompt);
    return;
  }

  PlotHandle* h = build_analysis_plot(a);
  if (h == nullptr) return;
  draw_plot(h, 0, 0, kPlotSize, kPlotSize);

  // The title, centred on a point left of the middle by half its length in characters.
  tk::setcolor(packed(kTitleColour));
  tk::setbkcolor(kWhite);
  tk::settextjustify(1, 1);
  tk::setmatchthemetextstyle();
  tk::outtextxy((kPlotSize - static_cast<int>(a.title.size())) / 2, kTitleY, a.title.c_str());
  if (!a.abort_line.empty()) {
    tk::setcolor(packed(kPromptColour));
    tk::outtextxy(kPlotSize / 2, kAbortLineY, a.abort_line.c_str());
  }
  tk::setcolor(kBlack);
  tk::setbkcolor(kWhite);
  tk::setmatchthemetextstyle();
  tk::settextjustify(0, 1);
  destroy_plot(h);
}

void draw_analysis_picture(const AnalysisPlot& a) {
  // As the main window starts: black on white, cleared, the interface font.
  tk::setcolor(kBlack);
  tk::setbkcolor(kWhite);
  tk::clearviewport();
  tk::setmatchthemetextstyle();
  tk::setbkcolor(kWhite);
  draw_analysis_plot(a);
}

}  // namespace brx
