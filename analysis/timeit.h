#pragma once
// Stopwatch of the analysis run.

namespace brx {

// Processor time in seconds used so far by the calling thread, so that runs of the batch command
// in parallel do not count each other's time; a run that fits Model 2 on a thread of its own
// adds that thread's figure to its own. The caller takes the difference of two readings.
double timeit();

}  // namespace brx
