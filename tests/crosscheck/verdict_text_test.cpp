#include "crosscheck/verdict_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace brx::crosscheck {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

CrossCheck found(Verdict v, double p, double kd, double low, double high) {
  CrossCheck c;
  c.verdict = v, c.p = p, c.loss.kd = kd, c.kd_low = low, c.kd_high = high;
  c.half_life = std::log(2.0) / kd;
  c.half_life_low = std::log(2.0) / high, c.half_life_high = std::log(2.0) / low;
  return c;
}

TEST(VerdictText, SentencesAndShortFormsForEachOutcome) {
  struct Case {
    CrossCheck c;
    const char* sentence;
    const char* short_form;
  };
  CrossCheck none;
  none.reason = "only 5 points, at least 6 needed";
  CrossCheck no_interval = found(Verdict::kDeactivation, 2e-4, 0.05, 0, 0);
  no_interval.kd_low = no_interval.kd_high = std::nan("");
  const Case cases[] = {
      {found(Verdict::kDeactivation, 0.0123, 2.0, 0.5, kInf),  // p shown to two digits
       "deactivation detected (p = 0.012): kd = 2 /time unit [0.5, no upper bound], half-life "
       "0.347 [0, 1.39] time units",
       "deactivation (p = 0.012), half-life 0.347 [0, 1.39]"},
      {found(Verdict::kNoEvidence, 0.62, 0.0, 0, 0.00289),
       "no evidence of deactivation (p = 0.62); half-life above 240 time units (95 %)",
       "no evidence (p = 0.62), half-life above 240"},
      {no_interval,
       "deactivation detected (p = 0.0002): kd = 0.05 /time unit, half-life 13.9 time units (no "
       "interval: a refit failed)",
       "deactivation (p = 0.0002), half-life 13.9"},
      {found(Verdict::kDeactivation, 0, 1.0, 0.9, 1.1),
       "deactivation detected (p < 1e-300): kd = 1 /time unit [0.9, 1.1], half-life 0.693 "
       "[0.63, 0.77] time units",
       "deactivation (p < 1e-300), half-life 0.693 [0.63, 0.77]"},
      {none, "no verdict: only 5 points, at least 6 needed",
       "no verdict (only 5 points, at least 6 needed)"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(verdict_sentence(k.c), k.sentence);
    EXPECT_EQ(verdict_short(k.c), k.short_form);
  }
  // An interval wider than kd points to a set of curves at several enzyme concentrations.
  EXPECT_EQ(verdict_note(found(Verdict::kDeactivation, 1e-3, 0.02, 0.011, 0.03)), "");
  EXPECT_NE(verdict_note(found(Verdict::kDeactivation, 1e-3, 0.02, 0.005, 0.03)).find("Selwyn"),
            std::string::npos);
}

}  // namespace
}  // namespace brx::crosscheck
