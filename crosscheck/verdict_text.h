#pragma once
// The cross-check's findings in words.

#include <string>

#include "crosscheck/deactivation_check.h"

namespace brx::crosscheck {

// The sentence: "deactivation detected (p = 3.1e-06): kd = 0.0143 /time unit [0.0034, 0.0233],
// half-life 48.5 [29.7, 204] time units", "no evidence of deactivation (p = 0.62); half-life above
// 240 time units (95 %)", or "no verdict: " and the reason.
std::string verdict_sentence(const CrossCheck& c);

// A few words for a one-line summary: "deactivation (p = 3.1e-06), half-life 48.5 [29.7, 204]",
// "no evidence (p = 0.62), half-life above 240", "no verdict (…)".
std::string verdict_short(const CrossCheck& c);

// What the figures cannot tell: one curve cannot separate enzyme loss from a large Km when the
// interval of kd is wider than kd; the deactivation type of the file is not what is fitted.
std::string verdict_note(const CrossCheck& c);

// The verdict as the batch command's JSON and CSV name it: "deactivation", "no evidence", or ""
// for no verdict.
const char* verdict_name(Verdict v);

// A p-value as the sentences print it: "p = 3.1e-06", "p = 0.62"; "p < 1e-300" for 0.
std::string p_text(double p);

// A number to three significant digits, as the sentences print it ("0.0143", "48.5", "1.2e+03").
std::string three_digits(double v);

}  // namespace brx::crosscheck
