#pragma once
// The Selwyn plot drawn with the toolkit (library brx_plot_toolkit), into whatever the toolkit
// draws into on the calling thread: the current window, or the thread's own picture
// (toolkit::beginpicture).

#include "plot/selwyn_picture.h"

namespace brx {

// Clears the area (0, 0)-(width, height) to white and draws the plot into it with the title
// centred above. Leaves black on white, the interface font, left and vertically centred text and
// the viewport reset to the whole drawing area. Call it on a picture or window of at least that
// size (kSelwynWidth x kSelwynHeight).
void draw_selwyn_picture(const SelwynPicture& s, int width = kSelwynWidth,
                         int height = kSelwynHeight);

}  // namespace brx
