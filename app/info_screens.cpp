#include "app/info_screens.h"

#include <string_view>
#include <vector>

#include "analysis/example_data.h"
#include "app/window_look.h"
#include "base/version.h"
#include "toolkit/toolkit.h"

namespace brx {
namespace {

std::string joined(const std::vector<std::string_view>& lines) {
  std::string out;
  bool first = true;
  for (std::string_view line : lines) {
    if (!first) out += "\r\n";
    out += line;
    first = false;
  }
  return out;
}

std::string trademarked(std::string_view before, std::string_view after) {
  std::string s(before);
  s += kTrademark;
  s += after;
  return s;
}

}  // namespace

std::string example_text() {
  std::vector<std::string_view> lines = {
      "EXAMPLE INPUT DATA FILE STRUCTURE (Brevantix.dat):",
      "",
      "Enzyme Deactivation Progress Curve Data File:",
      "Enter the initial [So] parameter value and time versus",
      "product data in columns using a text editor like 'NotePad'.",
      "At least 5 time vs product data points are required to analyze.",
      "",
      "Line 1: Enter the initial substrate [So] parameter value.",
      "The Type 1 Deactivation Model 1 is the 'default' model.",
      "To use the Type 2 Deactivation Model 1, set the initial",
      "value of [So] to a negative value (-So) in the data file.",
      "[So]",
      "Line 2..end: Enter the time and product values.",
      "Time,  [Product]",
      "",
  };
  lines.insert(lines.end(), kExampleDataLines.begin(), kExampleDataLines.end());
  lines.insert(lines.end(), {"", "The last data file line must be 'EMPTY'. Then save the text data",
                             "file using a file name appended with '.dat' (e.g., brevantix.dat)."});
  return joined(lines);
}

std::string description_text() {
  const std::string title = trademarked("     Brevantix-kd", " Description");
  return joined({
      title,
      "        Enzyme Time-dependent Deactivation Modeling Software",
      "Written and maintained by the Brevantix-kd developers.",
      "Questions and fault reports: the project's issue tracker.",
      "",
      "Brevantix-kd decides from one progress curve whether an enzyme",
      "lost activity while the reaction ran. It fits the normalized",
      "curve to a model with enzyme deactivation (Model 1) and to the",
      "classical model (Model 2) and compares the two fits.",
      "Unstable enzymes should give a kd value significantly",
      "different from zero, a positive F distribution p-value less than",
      "0.10, and a Welch's t-value greater than its critical value.",
      "",
      "Method: nonlinear regression with numerical integration of the",
      "Michaelis-Menten model with time-dependent enzyme deactivation,",
      "-d[E]/dt = kd*[E], so that [E] = [Eo]*exp(-kd*t) and",
      "Vmax = k2*[E] falls with time, against the classical",
      "Michaelis-Menten model (kd = 0) fitted to the same data.",
      "",
      "F-test: the F statistic of the two fits is calculated and",
      "compared with the critical F at a significance level of 5% to",
      "10%. A larger F statistic suggests that the deactivation model",
      "fits significantly better; a smaller one suggests that the",
      "classical model describes the data as well. The difference of",
      "the corrected Akaike values (AICc) of the two fits enters the",
      "F statistic.",
      "",
      "Welch's t-test compares the sums of squared residuals of the two",
      "models. It assumes normally distributed data but does not assume",
      "equal variances. A t statistic above its critical value suggests",
      "that the two models differ.",
  });
}

std::string about_text() {
  const std::string name = trademarked("Brevantix-kd", std::string(" version ") + kVersion);
  return joined({
      name,
      "Enzyme Deactivation Modeling Software",
      "",
      "User licence agreement: you may install and use this program",
      "and copy it for your own work and for colleagues, provided that",
      "this notice stays with every copy. You may not sell it or remove",
      "its notices.",
      "",
      "Written and maintained by the Brevantix-kd developers.",
      "Questions and fault reports: the project's issue tracker.",
      "",
      "Disclaimer: this program is provided \"as is\", without warranty",
      "of any kind, express or implied, including fitness for a",
      "particular purpose. Check its results before you rely on them;",
      "the authors are not liable for any loss arising from its use.",
  });
}

void example() {
  toolkit::dlgmessage(kInformationBox, example_text().c_str());
}

void info() {
  toolkit::dlgmessage(kInformationBox, description_text().c_str());
}

void aboutit() {
  toolkit::dlgmessage(kInformationBox, about_text().c_str());
}

}  // namespace brx
