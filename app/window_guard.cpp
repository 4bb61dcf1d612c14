#include "app/window_guard.h"

namespace brx {

std::recursive_mutex& window_mutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

}  // namespace brx
