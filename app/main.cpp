// brevantix-kd: the desktop program. It takes no options; it needs a display.

#include "app/desktop_program.h"

int main(int argc, char** argv) {
  return brx::run_desktop_program(argc, argv);
}
