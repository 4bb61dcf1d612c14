// brevantix-kd: the desktop program. It needs a display; --help and --version are its only options.

#include "app/desktop_program.h"

int main(int argc, char** argv) {
  return brx::run_desktop_program(argc, argv);
}
