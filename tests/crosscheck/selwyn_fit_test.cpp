#include "crosscheck/selwyn_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/crosscheck/synthetic_sets.h"

namespace brx::crosscheck {
namespace {

SelwynFit fit_all(const std::vector<SetCurve>& set) {
  const std::vector<SelwynFit> fits = fit_selwyn_groups(set);
  EXPECT_EQ(fits.size(), 1u);
  return fits.front();
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Three curves over 60 min (Km 20, kcat 2.4, [So] 100) with offsets of the readings; a fourth
// set repeats a concentration, a fifth gives [E]0 in a unit a billion times smaller. Without
// noise the constants come back; the stable line of the plot of product against [E]0·t (sampled
// every 0.6, so curve k ends on sample 50·2^k) holds the end of every curve without loss.
TEST(SelwynFit, NoiseFreeSetsGiveBackTheirConstants) {
  const struct {
    double kd_tmax;
    std::vector<double> e0;
  } cases[] = {{0, {0.5, 1, 2}}, {2, {0.5, 1, 2}}, {1, {1, 1, 3, 0.25}}, {1, {0.5e-9, 1e-9, 2e-9}}};
  for (const auto& k : cases) {
    test::LossSet shape{.kcat = 2.4 / (k.e0.front() < 1e-6 ? 1e-9 : 1), .kd = k.kd_tmax / 60};
    shape.e0 = k.e0;
    shape.p0 = {0.5, -0.3, 1, 0.2};
    const std::vector<SetCurve> set = test::loss_set(shape);
    const SelwynFit f = fit_all(set);
    SCOPED_TRACE(f.text);
    EXPECT_EQ(f.curves, static_cast<int>(k.e0.size()));
    EXPECT_EQ(f.concentrations, 3);
    EXPECT_NEAR(f.km, shape.km, 1e-6 * shape.km);
    EXPECT_NEAR(f.kcat, shape.kcat, 1e-6 * shape.kcat);
    EXPECT_NEAR(f.kd * shape.tmax, k.kd_tmax, 1e-6 * std::max(k.kd_tmax, 1.0));
    for (std::size_t i = 0; i < k.e0.size(); ++i) {
      EXPECT_NEAR(f.members[i].p0, shape.p0[i], 1e-6);
      EXPECT_NEAR(f.members[i].vmax, shape.kcat * k.e0[i], 1e-6 * shape.kcat * k.e0[i]);
      EXPECT_NEAR(f.members[i].vmax_own, f.members[i].vmax, 1e-6 * f.members[i].vmax);
    }
    EXPECT_EQ(f.verdict, k.kd_tmax == 0 ? Verdict::kNoEvidence : Verdict::kDeactivation);
    EXPECT_FALSE(f.doubtful);
    EXPECT_TRUE(f.kd_low <= f.kd && f.kd <= f.kd_high);
    if (k.kd_tmax != 0) continue;
    ASSERT_EQ(f.plot.curves.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR(f.plot.points[i].y[5], set[i].y[5] - shape.p0[i], 1e-6);
      EXPECT_DOUBLE_EQ(f.plot.curves[i].x.back(), set[i].e0 * shape.tmax);
      EXPECT_NEAR(f.plot.curves[i].y.back(), f.plot.stable.y[50u << i], 1e-6) << i;
    }
  }
}

// The curve at the highest concentration runs 30 % faster than its share: a dilution error. The
// shared fit bends kd and Km to cover it; the scaling test calls it out.
TEST(SelwynFit, RatesThatDoNotScaleWithTheEnzymeAreCalledOut) {
  const test::LossSet shape{.kd = 1.0 / 60, .noise = 0.5, .vmax_factor = {1, 1, 1.3}};
  const SelwynFit f = fit_all(test::loss_set(shape, 3));
  EXPECT_TRUE(f.doubtful) << f.text;
  EXPECT_LT(f.scaling_p, kScalingLevel);
  EXPECT_TRUE(has(f.text, "doubtful: rates do not scale with enzyme concentration")) << f.text;
  // Each curve's own Vmax finds the faulty one.
  EXPECT_NEAR(f.members[2].vmax_own / f.members[1].vmax_own, 2 * 1.3, 0.1) << f.text;
  // 3 % faster gives p near 0.04: not enough at the test's 1 % level.
  const SelwynFit near =
      fit_all(test::loss_set({.kd = 1.0 / 60, .noise = 0.5, .vmax_factor = {1, 1, 1.03}}, 3));
  EXPECT_GT(near.scaling_p, 0.01);
  EXPECT_LT(near.scaling_p, 0.05);
  EXPECT_FALSE(near.doubtful) << near.text;
}

// Curves are fitted in groups of one substrate concentration ([So] of either sign: type 2 asks
// for the same substrate); a group that cannot be judged says why, naming the curves.
TEST(SelwynFit, GroupsCurvesByTheirSubstrateAndSaysWhyAGroupCannotBeJudged) {
  std::vector<SetCurve> set = test::loss_set({.noise = 0.5, .e0 = {1, 2, 1, 2, 3}});
  set[1].so = -100;
  set[2].so = set[3].so = 50;
  set[4].so = 70;
  const std::vector<SelwynFit> fits = fit_selwyn_groups(set);
  ASSERT_EQ(fits.size(), 3u);
  EXPECT_EQ(fits[0].so, 100);
  EXPECT_NE(fits[0].verdict, Verdict::kNone) << fits[0].text;
  EXPECT_TRUE(has(fits[0].note, "E0=2 asks for deactivation type 2")) << fits[0].note;
  EXPECT_EQ(fits[1].members[1].index, 3u);
  EXPECT_EQ(fits[2].text,
            "1 curve at 1 enzyme concentration: no verdict: a global fit needs curves at two or "
            "more enzyme concentrations");

  const std::vector<SetCurve> good = test::loss_set({.noise = 0.5});
  std::vector<SetCurve> few = good, nan = good, no_enzyme = good, blown_up = good;
  for (int k : {0, 1}) few[k].t.resize(2), few[k].y.resize(2);
  nan[1].y[4] = std::nan("");
  no_enzyme[2].e0 = 0;
  for (SetCurve& c : blown_up) {
    for (double& y : c.y) y = 1e200 * (1 + y);
  }
  const struct {
    const std::vector<SetCurve>& set;
    const char* text;
  } cases[] = {
      {nan, "no verdict: a time or product of E0=1 is not a number"},
      {no_enzyme, "no verdict: the enzyme concentration of E0=2 must be a positive number"},
      {blown_up, "no verdict: the least-squares fit failed"},
  };
  for (const auto& k : cases) {
    const SelwynFit f = fit_all(k.set);
    EXPECT_EQ(f.verdict, Verdict::kNone) << k.text;
    EXPECT_TRUE(has(f.text, k.text)) << f.text;
    EXPECT_TRUE(std::isnan(f.p) && std::isnan(f.kd)) << k.text;
  }
  EXPECT_EQ(fit_all(few).note,
            "Left out, fewer than 3 points: E0=0.5 (2 points), E0=1 (2 points).");
}

}  // namespace
}  // namespace brx::crosscheck
