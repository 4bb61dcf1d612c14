#pragma once
// Column-major tables of doubles indexed from 0, so that the numerical routines read as their
// 1-based algorithms: index 0 exists and is left unused unless a routine says otherwise.
//
//         j = 0    1    2  ...  cols
//   i = 0   .      .    .          <- row 0: scratch where a routine uses it (l1600)
//       1   .     a11  a12
//       2   .     a21  a22
//      ...
//   rows    ^ column 0: pivot rows (l1400) or scale factors (regression)
//
// Element (i, j) lives at i + (rows + 1) * j: the leading dimension is rows + 1.

#include <cassert>
#include <cstddef>
#include <vector>

namespace brx {

class Table {
 public:
  Table() = default;
  Table(int rows, int cols)
      : rows_(rows),
        cols_(cols),
        v_(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(cols + 1), 0.0) {
    assert(rows >= 0 && cols >= 0);
  }

  double& operator()(int i, int j) { return v_[index(i, j)]; }
  double operator()(int i, int j) const { return v_[index(i, j)]; }

  int rows() const { return rows_; }
  int cols() const { return cols_; }
  // Start of column j, rows 0..rows() laid out one after another.
  double* column(int j) { return v_.data() + index(0, j); }
  const double* column(int j) const { return v_.data() + index(0, j); }

 private:
  std::size_t index(int i, int j) const {
    assert(i >= 0 && i <= rows_ && j >= 0 && j <= cols_);
    return static_cast<std::size_t>(i) +
           static_cast<std::size_t>(rows_ + 1) * static_cast<std::size_t>(j);
  }

  int rows_ = 0;
  int cols_ = 0;
  std::vector<double> v_ = std::vector<double>(1, 0.0);
};

}  // namespace brx
