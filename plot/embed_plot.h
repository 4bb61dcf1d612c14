#pragma once
// Drawing a plot into a rectangle of a toolkit window (library brx_plot_toolkit).

#include "plot/plot_api.h"

namespace brx {

// Draws the plot at once into the rectangle (x, y)-(x + width, y + height) of `window`, both
// edges included: the rectangle is cleared to white, drawn in, and the window's viewport is left
// reset to the whole window. Returns whether the plot was drawn in full (false for a null
// handle, a window that is not open, or a plot the engine refuses); callers may ignore it.
bool embed_plot(PlotHandle* h, int window, int x, int y, int width, int height);

}  // namespace brx
