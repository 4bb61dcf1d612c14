#include "app/text_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace brx {
namespace {

TEST(TextFields, LabelFieldsAreTrimmedCutAndLeftAdjusted) {
  EXPECT_EQ(field_text(std::string(60, 'x') + "  ", 50), std::string(50, 'x'));
  EXPECT_EQ(field_text("  Title  ", 100), "  Title");  // leading blanks are the user's
  EXPECT_EQ(field_text("   ", 100), "");
  EXPECT_EQ(left_adjusted("   Rate (mM/s)  ", 50), "Rate (mM/s)");
  EXPECT_EQ(left_adjusted("  " + std::string(60, 'y'), 50), std::string(50, 'y'));
  EXPECT_EQ(left_adjusted("     ", 50), "");
}

TEST(TextFields, FileNamesAndFolders) {
  EXPECT_EQ(bare_file_name("/data/Run1.dat"), "Run1.dat");
  EXPECT_EQ(bare_file_name("Run1.dat"), "Run1.dat");
  EXPECT_EQ(with_trailing_slash("/data//"), "/data/");
  EXPECT_EQ(with_trailing_slash("/"), "/");
  EXPECT_EQ(text_file_name("/work/run.1.out"), "/work/run.1.txt");
  // A "." in a folder name is not the file's extension.
  EXPECT_EQ(text_file_name("/home/a.b/dout"), "/home/a.b/dout.txt");
}

TEST(TextFields, Utf8FileNamesBecomeWindows1252ForTheTitleBar) {
  EXPECT_EQ(utf8_to_cp1252("M\xc3\xbcller.dat"), "M\xfcller.dat");
  EXPECT_EQ(utf8_to_cp1252("kd\xe2\x84\xa2 \xe2\x82\xac"), "kd\x99 \x80");
  EXPECT_EQ(utf8_to_cp1252("\xe4\xb8\xad.dat"), "?.dat");  // outside the code page
  EXPECT_EQ(utf8_to_cp1252("bad\xff"), "bad\xff");         // not UTF-8: kept
}

}  // namespace
}  // namespace brx
