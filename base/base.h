#pragma once
// Small pieces every layer may use, one line each:
//
//   Stop                   the condition that ends a whole run                stop.h
//   Table                  column-major table indexed from 0                  table.h
//   write_file_atomically  replace a file through a temporary one and rename  atomic_file.h
//   process_umask          the file-creation mask, read without changing it   atomic_file.h

#include "base/atomic_file.h"
#include "base/stop.h"
#include "base/table.h"
