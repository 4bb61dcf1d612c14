#include "plot/plot_data.h"

#include <algorithm>
#include <cassert>

namespace brx {

int PlotDataBase::GetSize() const {
  if (const auto* real = GetRealPlotData()) return static_cast<int>(real->size());
  if (const auto* calc = GetCalculatedData()) return calc->count();
  return 0;
}

float PlotDataBase::GetValue(int i) const {
  assert(i >= 0 && i < GetSize());
  if (const auto* real = GetRealPlotData()) return (*real)[static_cast<std::size_t>(i)];
  return static_cast<float>(i);
}

bool PlotDataBase::CalculateRange(float& min, float& max) const {
  const int n = GetSize();
  if (n == 0) return false;
  float lo = GetValue(0);
  float hi = lo;
  for (int i = 1; i < n; ++i) {
    lo = std::min(lo, GetValue(i));
    hi = std::max(hi, GetValue(i));
  }
  min = lo;
  max = hi;
  return true;
}

}  // namespace brx
