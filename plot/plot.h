#pragma once
// Plotting, one line per piece:
// clang-format off
//
//   Painter, DummyPainter     the drawing surface the engine draws through     painter.h
//   AxisSetup                 range, direction, crossing and label of an axis  axis_setup.h
//   TickInfo                  tick spacing, label format, tick lengths         ticks.h
//   RoundSpan                 span rounded to 1, 2 or 5 times a power of ten   ticks.h
//   MakeFormatString          label format for a major span                    ticks.h
//   LinTickIterator           the ticks of a linear axis                       ticks.h
//   LinTrafo                  axis value <-> pixel                             trafo.h
//   PlotData, DummyData       series values, stored or 0..n-1                  plot_data.h
//   LegendData                legend name, colour, show flag                   plot_data.h
//   PlotDataSelection         selection marks of a series                      plot_data.h
//   LineDataDrawer            series drawn as lines (and/or point markers)     data_drawers.h
//   BigDotDataDrawer          series drawn as 5-pixel squares                  data_drawers.h
//   PlotDataContainer         the series of a plot, AddXYPlot                  plot_data_container.h
//   PlotEngine                layout and drawing of the whole plot, Draw       plot_engine.h
//   SetTickSizes              tick lengths capped by the font height           plot_engine.h
//   initialize_plot ...       the flat handle-based API                        plot_api.h
//   AnalysisPlot              the plot both programs draw after a run          analysis_plot.h
//   build_analysis_plot       the engine set up for it                         analysis_plot.h
//   SelwynPicture             the Selwyn plot of a group of curves             selwyn_picture.h
//   build_selwyn_plot         the engine set up for it                         selwyn_picture.h
//
// Library brx_plot_toolkit, the only part that sees the toolkit:
//
//   embed_plot, draw_plot     draw a plot into a window or the current target embed_plot.h
//   ToolkitPainter            the Painter of toolkit windows and pictures      toolkit_painter.h
//   draw_analysis_plot        the analysis plot with its title and prompt      analysis_plot_drawing.h
//   draw_analysis_picture     the main window's whole picture after a run      analysis_plot_drawing.h
//   draw_selwyn_picture       the Selwyn plot with its title                   selwyn_plot_drawing.h
//
// clang-format on
// Library brx_plot depends on base/ alone and knows no windowing.

#include "plot/analysis_plot.h"
#include "plot/axis_setup.h"
#include "plot/data_drawers.h"
#include "plot/painter.h"
#include "plot/plot_api.h"
#include "plot/plot_data.h"
#include "plot/plot_data_container.h"
#include "plot/plot_engine.h"
#include "plot/selwyn_picture.h"
#include "plot/ticks.h"
#include "plot/trafo.h"
