#pragma once
// Drawing a plot with the toolkit (library brx_plot_toolkit): into a rectangle of a window, or of
// whatever the toolkit draws into now.

#include "plot/plot_api.h"

namespace brx {

// Draws the plot at once into the rectangle (x, y)-(x + width, y + height) of `window`, both
// edges included: the rectangle is cleared to white, drawn in, and the window's viewport is left
// reset to the whole window. Returns whether the plot was drawn in full (false for a null
// handle, a window that is not open, or a plot the engine refuses); callers may ignore it.
bool embed_plot(PlotHandle* h, int window, int x, int y, int width, int height);

// Draws the plot as embed_plot does, into what the toolkit draws into on the calling thread (the
// current window, or the thread's own picture), which the caller has chosen.
bool draw_plot(PlotHandle* h, int x, int y, int width, int height);

}  // namespace brx
