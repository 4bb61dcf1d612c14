#pragma once
// Transformations from axis values to pixels.

namespace brx {

// Maps axis values to pixel positions.
class Trafo {
 public:
  virtual ~Trafo() = default;
  virtual float Transform(float value) const = 0;
};

// pixel = offset + value * slope.
class LinTrafo : public Trafo {
 public:
  LinTrafo() = default;
  LinTrafo(float offset, float slope) : offset_(offset), slope_(slope) {}
  void Set(float offset, float slope) {
    offset_ = offset;
    slope_ = slope;
  }
  float offset() const { return offset_; }
  float slope() const { return slope_; }

  float Transform(float value) const override { return offset_ + value * slope_; }

 private:
  float offset_ = 0.0f;
  float slope_ = 1.0f;
};

}  // namespace brx
