#pragma once
// What the fuzz targets share: a scratch folder of the process's own, a way to put the input into
// a file there, and invariant checks that end the run as a crash when they fail.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace brx::fuzz {

// A folder of this process's own (in /dev/shm where there is one: the targets write a file per
// input), emptied before each input and removed at exit.
const std::filesystem::path& scratch();

// Empties the scratch folder and writes `bytes` into `name` there; returns its path.
std::filesystem::path write_input(const std::string& name, std::string_view bytes);

// The names in the scratch folder, sorted, joined by " ".
std::string scratch_names();

// Ends the run as a crash, naming the invariant, when `ok` is false.
void check(bool ok, const char* invariant, const std::string& detail = {});

// Checks that `line` is one JSON object in valid UTF-8, with "file" and either "report" or
// "error"; returns whether it has "report" as a path (not null).
bool check_json_line(const std::string& line);

// Analyses the file at `path` as the batch command does (JSON) and checks what must hold for
// any input: one valid JSON line; a report beside the file exactly when the file counts as
// analysed; nothing else left in the folder (no temporary).
void check_whole_analysis(const std::filesystem::path& path, int max_rows);

}  // namespace brx::fuzz
