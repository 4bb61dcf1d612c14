#pragma once
// The analysis layer, one line per routine (file in brackets):
//
//   brevantix_run      a whole analysis: import, repair, normalise, fit both models, compare,
//                      write the report, publish the plot tables           (brevantix_run.h)
//   missing_curves_reason  why a run gave no curves to plot                (brevantix_run.h)
//   timeit             processor time of the calling thread                (timeit.h)
//   data_import        [So] and the (time, product) rows of a data file    (data_import.h)
//   file_name_exists   does a file of that name exist                      (data_import.h)
//   repair_tied_times  mend equal neighbouring times, last time + 1 %      (data_import.h)
//   deactivation_flag  deactivation type from the sign of [So]             (data_import.h)
//   parse_number       one number as a data file writes it (1.25d-1)       (data_import.h)
//   read_curve_set_table  a table of curves at several [E]0: names, So and E0 rows, data
//                                                                          (curve_set_table.h)
//   import_curve       a table's curve laid out as data_import lays out a file
//                                                                          (curve_set_table.h)
//   is_curve_set_table is a file a curve-set table or a data file          (curve_set_table.h)
//   aicc               corrected Akaike criterion                          (comparison.h)
//   p_value_f          upper tail of the F distribution                    (comparison.h)
//   f_spread           standard deviation of an F distribution             (comparison.h)
//   welch_df           Welch degrees of freedom                            (comparison.h)
//   compare_models     every figure and decision of the model comparison   (comparison.h)
//   report_path        data path -> report path (run7.dat -> run7.out)     (report.h)
//   report_text        the report's text, one of three bodies              (report.h)
//   write_report       replace a report in one step                        (report.h)
//   field_s, field_x   Fortran-like number fields of the report            (number_fields.h)
//
// Records: globalsplot (analysis/globalsplot.h), the shell's record the run reads and writes; each
// run fits in a fit context of its own (nrtype, fitting/nrtype.h).
// Errors: Stop (base/stop.h) ends a run; InputError (analysis/input_error.h) is a data file
// or table that cannot be read as it stands.

#include "analysis/brevantix_run.h"
#include "analysis/comparison.h"
#include "analysis/curve_set_table.h"
#include "analysis/data_import.h"
#include "analysis/globalsplot.h"
#include "analysis/input_error.h"
#include "analysis/number_fields.h"
#include "analysis/report.h"
#include "analysis/timeit.h"
