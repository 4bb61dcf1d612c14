#pragma once
// The shell's record of the chosen data file and of the texts drawn on the plot. The run reads the
// file fields and writes the legend labels and the title; the desktop shell owns the one
// program-wide instance, the batch command one per file.

#include <string>

namespace brx {

struct globalsplot {
  std::string cfilename;      // bare data file name, as the file system has it
  std::string cfilenamepath;  // full data file path; the report path is derived from it
  std::string cfilenamedata;  // full data file path, as chosen
  std::string cpath;          // data folder with a trailing "/"
  std::string model0lbl;      // legend of the data series ("Experimental Data")
  std::string model1lbl;      // legend of Model 1
  std::string model2lbl;      // legend of Model 2
  std::string titlelbl;       // plot title set by the run (50 characters at most)
  std::string xytitlelbl;     // plot title as drawn
  std::string xaxislbl;       // x axis label as drawn
  std::string yaxislbl;       // y axis label as drawn
};

}  // namespace brx
