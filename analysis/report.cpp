#include "analysis/report.h"

#include <cstdlib>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "analysis/example_data.h"
#include "analysis/number_fields.h"
#include "base/utf8_text.h"

namespace brx {
namespace {

// Collects the report's lines; every line ends with CR LF.
class Lines {
 public:
  void add(const std::string& line) { text_ += line + "\r\n"; }
  void t0(const std::string& s) { add(s); }
  void t1(const std::string& s) { add(" " + s); }
  void t4(const std::string& s) { add("    " + s); }
  void e1(const std::string& s) {
    add("");
    t1(s);
  }
  void t1_all(std::initializer_list<const char*> ss) {
    for (const char* s : ss) t1(s);
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

const std::string kDash105(105, '-');
const std::string kDash100(100, '-');
const char* const kContentious = "Contentious kd value since it is less than 0.001.";

void aborted_fit_body(Lines& out) {
  out.t1("CURVE-FIT ANALYSIS ABORTED!");
  out.t1("The initial Km (P(1)) OR Vmax (P(2)) estimates may be out of");
  out.t1("range, or the initial estimate of [So] may be inaccurate.");
  out.t1("Try re-adjusting the intial parameter values within the");
  out.t1("appropriate range and re-RUN the data. ");
  out.t0("");
}

void too_few_points_body(Lines& out) {
  out.t1("CURVE-FIT ANALYSIS ABORTED!");
  out.t1("Either the initial Km, Vmax, or So estimates are zero,");
  out.t1("or the time vs Product data has less than 5 data points.");
  out.t1("Check that your Brevantix.dat data file is correct.");
  out.e1("EXAMPLE INPUT DATA FILE STRUCTURE (Brevantix.dat):");
  for (const char* s :
       {"Line 1: Enter the initial parameter value estimates.", "        [So]",
        "Line 2..end: Enter the time and product values.", "        Time,  [Product]", "",
        "At least 5 time vs product data points are required.",
        "Enter the data in columns using a text editor like NOTEPAD.", ""}) {
    out.t0(s);
  }
  for (std::string_view s : kExampleDataLines) out.t0(std::string(s));
  for (const char* s : {"", "The last data file line must be left 'EMPTY'. Then save the",
                        "text data file using the file name 'Brevantix.dat'."}) {
    out.t0(s);
  }
}

void header(Lines& out) {
  out.t4(kDash105);
  for (const char* s :
       {"Brevantix-kd: Enzyme Time-dependent Deactivation Modeling Software", kDash105.c_str(),
        "Brevantix-kd curve-fits progress curve data to an unstable enzyme",
        "Michaelis-Menten equation and estimates the best-fit parameters",
        "to the differential equation d[P]/dt."}) {
    out.t4(s);
  }
  out.t0("");
  out.t0("");
  for (const char* s : {"Nonlinear regression and numerical integration of the",
                        "Michaelis-Menten enzyme deactivation model -d[E]/dt=kd*[E]",
                        "is compared to the Classical Michaelis-Menten model to determine",
                        "the best-fit model to the same data."}) {
    out.t4(s);
  }
  out.t0("");
  for (const char* s : {"This program is intended to determine the likelihood of whether",
                        "an enzyme is unstable and deactivated during the progress of a",
                        "reaction. Unstable enzymes should give a kd value significantly",
                        "different from zero, a positive F distribution p-value less",
                        "than 0.10, and a Welch's t-value greater than its critical value."}) {
    out.t4(s);
  }
  out.e1("The original data has been normalized [0...1] to improve the");
  out.t1_all({"best fit comparison between the two kinetic models. Therefore,",
              "the final parameter values do not represent the original",
              "model data and are used only for the comparison of the models"});
}

void models(Lines& out) {
  out.e1("   MODEL 1: ENZYME DEACTIVATION PROGRESS CURVE");
  out.add("       Model 1: Deactivation Michaelis-Menten Model");
  out.add("       Deactivation Type:");
  out.add("    (1) d[P]/dt=Vmax*Exp(-kd*t)*([So]-[P(t)])/(Km+([So]-[P(t)]))");
  out.add(
      "    (2) d[P]/dt=Vmax*Exp(-kd*t)*([So]-[P(t)])/(Km+([So]-[P(t)])) - "
      "(t*Km/Vmax/kd)*Exp(+kd*t)");
  out.t0("");
  out.add("       The Type 1 Deactivation model is the 'default' model.");
  out.add("       To use the Type 2 Deactivation Model, set the initial");
  out.add("       value of [So] to a negative value (-[So]) in data file.");
  out.e1("   MODEL 2: STABLE ENZYME PROGRESS CURVE");
  out.add("       Model 2: Classical Michaelis-Menten Model");
  out.add("       d[P]/dt = Vmax*([So]-[P(t)]) / (Km + ([So]-[P(t)]))");
}

void comparison(Lines& out, const ReportInput& in) {
  const Comparison& c = in.stats;
  out.e1(kDash100);
  out.t1("COMPARISON OF THE TWO MICHAELIS-MENTEN MODEL TYPES:");
  out.t1(kDash100);
  out.t1("Model 1: Michaelis-Menten Deactivation Model");
  out.t1(in.flagpexp == 1
             ? "d[P]/dt=Vmax*Exp(-kd*t)*([So]-[P(t)])/(Km+([So]-[P(t)])) -(t*Km/Vmax/kd)*Exp(+kd*t)"
             : "d[P]/dt=Vmax*Exp(-kd*t)*([So]-[P(t)]) / (Km+([So]-[P(t)]))");
  out.t1("Where, Km=P(1), Vmax=P(2), [Po]=P(3), kd=P(4), [So]=(Masked)");
  out.e1("Model 2: Classical Michaelis-Menten Model");
  out.t1("d[P]/dt = Vmax*([So]-[P(t)]) / (Km + ([So]-[P(t)]))");
  out.t1("Where, Km=P(1), Vmax=P(2), [Po]=P(3), kd=P(4)=0.0, [So]=(Masked)");
  out.e1("Note: [So] is masked to a constant value in both models 1 and 2.");

  out.e1("The kd t-Test statistic tests whether the deactivation constant");
  out.t1("is statistically different from zero (p-value <= 0.05).");
  out.t1("Deactivation kd = " + s12_5(c.kd));
  if (c.contentious) {
    out.t1(kContentious);
  } else {
    out.t1("Critical t-distribution kd p-value = " + s14_6(c.kdp));
  }

  out.e1("The Akaike AIC is similar to the F-test used to compare nested models.");
  out.t1_all({"Akaike considered his information criterion an extension of Fisher's",
              "classical maximum likelihood principle. The AIC is computed for each model,",
              "and the model where AIC is minimized is selected as best for the empirical",
              "data. Here the corrected AICc, AICc = N*Ln(RSS/N) + 2*k*N/(N-k-1) is used",
              "in place of the traditional F-Test RSS values. To determine the best-fit",
              "model, the difference in AICc between the two models is used.",
              "The AICc difference estimates the information loss when using the Classical",
              "Michaelis-Menten model 2, rather than the more complex deactivation model 1.",
              "Hence, the larger the AICc difference between models, the less plausible is",
              "the simpler Michaelis-Menten model 2 and the more likely the curve-fit of",
              "the two models are statistically different."});
  out.e1("The null hypothesis that the two models are equivalent is rejected if");
  out.t1_all({"the F-Test value calculated from the data is greater than the critical",
              "value of the F-distribution for the false-rejection probability of 0.10.",
              "Therefore, a p-value less than or equal to 0.10 rejects the null",
              "hypothesis and accepts that the two models are likely different."});
  out.e1("The F-Test statistic comparing two models is also known as the Fisher F-test.");
  out.t1_all({"It compares whether the variances from curve-fitting the same data to",
              "two models are statistically different. The F-Test assumes that the",
              "data set be normally distributed. P-values may also be influenced by",
              "sample size and outlying data."});
  out.e1("Corrected Akaike (AICc) values are used in the F-Test statistic");
  out.t1_all({"to compare whether curve-fitting the same data to two models",
              "is statistically different with a p-value <= 0.10."});
  out.e1("Corrected Akaike (AICc) = N*Ln(SSQ/N) + 2*k*N / (N-k-1)");
  out.e1("AICc of Model 1 = " + s12_3(c.aicc1));
  out.t1("AICc of Model 2 = " + s12_3(c.aicc2));
  out.e1("F-Test statistic comparing model 1 against model 2:");
  out.t1("Critical F-distribution F-value:");
  out.t1("F = (AICc2 - AICc1) / (|AICc1|) / (k1-k2) * (N-k1) = " + s10_4(c.F));
  out.e1("Comparison of Model 1 versus Model 2:");

  const std::string p_line = "F-distribution p-value = " + x9_5(c.pF) + " ";
  switch (c.verdict) {
    case PvalueVerdict::kAtMost05:
      out.e1("The AICc's of the two models are likely statistically different.");
      out.t1(p_line + "<= 0.05");
      break;
    case PvalueVerdict::kAtMost10:
      out.e1("The AICc's of the two models are likely statistically different.");
      out.t1(p_line + "<= 0.10");
      break;
    case PvalueVerdict::kAbove10:
      out.t1(p_line + "> 0.10");
      break;
  }
  if (c.band) {
    out.e1("[pvalue-S.D. < pvalue < pvalue+S.D.]");
    // Appended piece by piece, as "[" + ... trips GCC 12's -Wrestrict at -O3.
    std::string band = "[";
    band.append(x9_5(c.pLow)).append(" < ").append(x9_5(c.pF)).append(" < ");
    out.t1(band.append(x9_5(c.pHigh)).append("]"));
  }
  if (c.advice == Advice::kSinceBandReaches05) {
    out.e1("Adding more data points may improve the significance since (pvalue - S.D.) <= 0.05");
  } else if (c.advice == Advice::kMayImprove) {
    out.t1("Adding more data points may improve the significance.");
  }

  out.e1("The Welch's t-Test statistic compares the sum-of-squares of two models.");
  out.t1_all({"It compares whether the sum-of-squared residuals and",
              "variances from curve-fitting the same data to the two",
              "models are statistically different. The test assumes",
              "that the data set is normally distributed, but does not",
              "assume that the two populations have the same variance."});
  out.e1("Welch's t-test = " + x8_3(c.tW) + " " + (c.W == 1 ? ">" : "<") + x6_3(c.tCrit) +
         " (Welch critical t-value)");
  out.t1(c.W == 1 ? "The curve-fits of the two models are likely statistically different."
                  : "The curve-fits of the two models are not likely different.");
}

void conclusion(Lines& out, const ReportInput& in) {
  const Comparison& c = in.stats;
  out.e1(kDash100);
  out.t1("CONCLUSION");
  out.t1(kDash100);
  if (c.conclusion <= 4 && c.contentious) out.t1(kContentious);
  out.t1("Under the null hypothesis that deactivation model 1 does not provide");
  out.t1("a significantly better fit than the Michaelis-Menten model 2, the");
  static const char* const kOpening[6][2] = {
      {"null hypothesis is rejected since the F-Test p-value <= 0.05.",
       "and the Welch t-test statistic is > critical t-value."},
      {"null hypothesis is rejected since the F-Test p-value <= 0.10.",
       "and the Welch t-test statistic is > critical t-value."},
      {"null hypothesis is accepted since the F-Test p-value > 0.05",
       "and the Welch t-test statistic is < critical t-value."},
      {"null hypothesis is rejected since the F-Test p-value <= 0.10,",
       "even though the Welch t-test statistic is < critical t-value."},
      {"null hypothesis is accepted since the F-Test p-value > 0.10,",
       "even though the Welch t-test statistic is > critical t-value."},
      {"null hypothesis is accepted since the F-Test p-value > 0.10",
       "and the Welch t-test statistic is < critical t-value."},
  };
  const int k = c.conclusion - 1;
  out.t1(kOpening[k][0]);
  out.t1(kOpening[k][1]);
  if (c.conclusion == 1) {
    out.t1_all({"This suggests that there is compelling evidence to support",
                "the deactivation Michaelis-Menten model 1 over the classical",
                "Michaelis-Menten model 2. Therefore, the more complex",
                "Michaelis-Menten deactivation model 1 should be accepted and",
                "it is likely that significant enzyme deactivation has occurred."});
  } else if (c.conclusion == 2 || c.conclusion == 4) {
    out.t1_all({"This suggests that there is some evidence to support the",
                "deactivation Michaelis-Menten model 1 over the classical",
                "Michaelis-Menten model 2. Therefore, the more complex",
                "Michaelis-Menten deactivation model 1 should be accepted and",
                "it is likely that some enzyme deactivation has occurred."});
  } else {
    out.t1_all({"This suggests that there is no compelling evidence to support the",
                "deactivation Michaelis-Menten model 1 over the Michaelis-Menten",
                "model 2. Therefore, based on the principle of parsimony, the",
                "preferred model is the simpler Michaelis-Menten model 2, since",
                "it achieved similar goodness of fit using fewer variables. It",
                "is unlikely that any significant enzyme deactivation has occurred."});
  }
  if (in.ithr2 == 3) out.e1("Note: Model 2 regression threshold not achieved!");
  out.t1(kDash100);
  out.e1("The date is " + report_date(in.when));
  out.e1("Elapsed time=" + x8_5(in.elapsed) + " seconds");
  out.t0("");
}

}  // namespace

std::string report_path(const std::string& data_path) {
  const std::size_t slash = data_path.find_last_of('/');
  const std::size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  // Characters, not bytes: cutting into a multi-byte character would leave a name that is not
  // UTF-8 ("a日b" loses "日b" whole).
  const std::vector<std::size_t> chars =
      character_starts(std::string_view(data_path).substr(name_start));
  if (chars.size() < 3) return data_path.substr(0, name_start) + "out";
  return data_path.substr(0, name_start + chars[chars.size() - 3]) + "out";
}

std::string report_date(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char buf[64];
  std::strftime(buf, sizeof buf, "%a %b %e %H:%M:%S %Y", &local);
  std::string field = buf;
  field.resize(30, ' ');
  return field;
}

std::string report_text(const ReportInput& in) {
  Lines out;
  switch (in.body) {
    case ReportBody::kAbortedFit:
      aborted_fit_body(out);
      break;
    case ReportBody::kTooFewPoints:
      too_few_points_body(out);
      break;
    case ReportBody::kFull:
      header(out);
      models(out);
      comparison(out, in);
      conclusion(out, in);
      break;
  }
  return out.text();
}

FileWrite write_report(const std::string& path, const std::string& text) {
  return write_file_atomically(path, text);
}

}  // namespace brx
