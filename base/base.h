#pragma once
// Small pieces every layer may use, one line each:
//
//   Stop                   the condition that ends a whole run                stop.h
//   Table                  column-major table indexed from 0                  table.h
//   write_file_atomically  replace a file through a temporary one and rename  atomic_file.h
//   process_umask          the file-creation mask, read without changing it   atomic_file.h
//   printable, excerpt     any bytes shown safely: controls and stray bytes   utf8_text.h
//                          as \xNN, long texts cut with "…"
//   valid_utf8             stray bytes replaced by U+FFFD (for JSON)          utf8_text.h
//   character_starts       where each UTF-8 character of a text starts        utf8_text.h
//   kVersion               the program's version (made from version.h.in)     version.h

#include "base/atomic_file.h"
#include "base/stop.h"
#include "base/table.h"
#include "base/utf8_text.h"
#include "base/version.h"
