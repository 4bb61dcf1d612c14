// Which carrier the program's omegw uses. Both return the same double for every argument; the
// binary128 one is the reference, chosen by configuring with BRX_OMEGW_REFERENCE=ON.

#include "estimates/lambert_w.h"

namespace brx {

double omegw(double x) {
#ifdef BRX_OMEGW_REFERENCE
  return omegw_binary128(x);
#else
  return omegw_double_double(x);
#endif
}

}  // namespace brx
