#include "crosscheck/verdict_text.h"

#include <cmath>
#include <cstdio>

namespace brx::crosscheck {
namespace {

bool has_interval(const CrossCheck& c) {
  return !std::isnan(c.kd_low) && !std::isnan(c.kd_high);
}

std::string upper_end(double v) {
  return std::isinf(v) ? "no upper bound" : three_digits(v);
}

}  // namespace

const char* verdict_name(Verdict v) {
  switch (v) {
    case Verdict::kDeactivation:
      return "deactivation";
    case Verdict::kNoEvidence:
      return "no evidence";
    default:
      return "";
  }
}

std::string p_text(double p) {
  if (p == 0) return "p < 1e-300";  // an exact fit of the loss model: F is infinite
  char buf[32];
  std::snprintf(buf, sizeof buf, "p = %.2g", p);
  return buf;
}

std::string three_digits(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3g", v);
  return buf;
}

std::string verdict_sentence(const CrossCheck& c) {
  switch (c.verdict) {
    case Verdict::kNone:
      return "no verdict: " + c.reason;
    case Verdict::kDeactivation: {
      std::string s = "deactivation detected (" + p_text(c.p) +
                      "): kd = " + three_digits(c.loss.kd) + " /time unit";
      if (has_interval(c)) {
        s += " [" + three_digits(c.kd_low) + ", " + upper_end(c.kd_high) + "], half-life " +
             three_digits(c.half_life) + " [" + three_digits(c.half_life_low) + ", " +
             upper_end(c.half_life_high) + "] time units";
      } else {
        s += ", half-life " + three_digits(c.half_life) +
             " time units (no interval: a refit failed)";
      }
      return s;
    }
    case Verdict::kNoEvidence: {
      std::string s = "no evidence of deactivation (" + p_text(c.p) + ")";
      if (!has_interval(c)) return s + " (no interval: a refit failed)";
      if (std::isinf(c.kd_high)) return s + "; this curve sets no lower bound on the half-life";
      return s + "; half-life above " + three_digits(c.half_life_low) + " time units (95 %)";
    }
  }
  return {};
}

std::string verdict_short(const CrossCheck& c) {
  switch (c.verdict) {
    case Verdict::kNone:
      return "no verdict (" + c.reason + ")";
    case Verdict::kDeactivation: {
      std::string s = "deactivation (" + p_text(c.p) + "), half-life " + three_digits(c.half_life);
      if (has_interval(c)) {
        s += " [" + three_digits(c.half_life_low) + ", " + upper_end(c.half_life_high) + "]";
      }
      return s;
    }
    case Verdict::kNoEvidence: {
      std::string s = "no evidence (" + p_text(c.p) + ")";
      if (has_interval(c) && !std::isinf(c.kd_high)) {
        s += ", half-life above " + three_digits(c.half_life_low);
      }
      return s;
    }
  }
  return {};
}

std::string verdict_note(const CrossCheck& c) {
  std::string note;
  if (c.verdict != Verdict::kNone && has_interval(c) && c.kd_high - c.kd_low > c.loss.kd) {
    note =
        "The interval of kd is wider than kd itself: one curve cannot separate a loss of "
        "enzyme from a large Km well; curves at two or more enzyme concentrations would (a "
        "Selwyn test).";
  }
  if (c.deactivation_type == 2) {
    if (!note.empty()) note += " ";
    note +=
        "The file asks for deactivation type 2; the cross-check fits first-order loss of "
        "enzyme all the same.";
  }
  return note;
}

}  // namespace brx::crosscheck
