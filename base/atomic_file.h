#pragma once
// The one way this program replaces a file: the new content goes to a temporary file in the same
// folder, which is flushed to disk and then renamed over the target. A reader sees the old file
// or the new one, never half of either, and two writers of the same file do not share a
// temporary name.

#include <string>
#include <string_view>

namespace brx {

// What became of a write: done, or the error number of the step that failed.
struct FileWrite {
  int error = 0;  // errno of the failing step; 0 when the file was replaced

  explicit operator bool() const { return error == 0; }
  // The system's text for the error ("Permission denied"); empty when the write succeeded.
  std::string reason() const;
};

// Replaces `path` with `bytes`. The temporary file is made by mkstemp in the target's folder
// under a short name (".brx-XXXXXX"), so target names up to the file system's limit work; it is
// written whole, flushed with fsync and renamed over `path`, and removed again on every failure.
// A file that is replaced keeps its permission bits; a new one gets 0666 less the process's
// umask, as any file the user creates. Temporaries that killed writes left in the folder (this
// user's files with such a name, untouched for over a minute) are removed first.
FileWrite write_file_atomically(const std::string& path, std::string_view bytes);

// The process's file-creation mask, read without changing it: umask(2) can only set it, which
// would race with files created by other threads.
unsigned process_umask();

}  // namespace brx
