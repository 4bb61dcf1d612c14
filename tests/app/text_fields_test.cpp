#include "app/text_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace brx {
namespace {

TEST(TextFields, FileNamesAndTheTitleBarsCodePage) {
  EXPECT_EQ(text_file_name("/work/run.1.out"), "/work/run.1.txt");
  // A "." in a folder name is not the file's extension.
  EXPECT_EQ(text_file_name("/home/a.b/dout"), "/home/a.b/dout.txt");
  EXPECT_EQ(utf8_to_cp1252("M\xc3\xbcller \xe4\xb8\xad.dat"), "M\xfcller ?.dat");
  EXPECT_EQ(utf8_to_cp1252("bad\xff"), "bad\xff");  // not UTF-8: kept
}

}  // namespace
}  // namespace brx
