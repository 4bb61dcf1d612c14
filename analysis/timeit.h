#pragma once
// Stopwatch of the analysis run.

namespace brx {

// Processor time in seconds used so far by the calling thread (the whole run executes on one
// thread, so in the single-threaded desktop program this is the process's figure, and runs of the
// batch command in parallel do not count each other's time). Clears `start` when it is set; the
// caller takes the difference of two readings.
double timeit(bool& start);

}  // namespace brx
