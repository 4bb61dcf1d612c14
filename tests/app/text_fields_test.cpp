#include "app/text_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace brx {
namespace {

struct UpperCase {
  std::string in, out;
};

class StrUpper : public ::testing::TestWithParam<UpperCase> {};

TEST_P(StrUpper, UpperCasesOnlyAsciiLettersUpToTheLastNonBlank) {
  std::string text = GetParam().in;
  str_upper(text);
  EXPECT_EQ(text, GetParam().out);
  EXPECT_EQ(text.size(), GetParam().in.size());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrUpper,
    ::testing::Values(UpperCase{"d:\\data\\run1.dat", "D:\\DATA\\RUN1.DAT"},
                      UpperCase{"az AZ 09 {`}", "AZ AZ 09 {`}"},  // neighbours of a-z stay
                      UpperCase{"caf\xe9 \x99", "CAF\xe9 \x99"},  // bytes above 127 stay
                      UpperCase{"run1.dat     ", "RUN1.DAT     "}, UpperCase{"    ", "    "},
                      UpperCase{"", ""}));

TEST(TextFields, FieldsAreTrimmedAndCutToTheirWidth) {
  EXPECT_EQ(trim_right("Normalized Time   "), "Normalized Time");
  EXPECT_EQ(trim_right("   "), "");
  EXPECT_EQ(field_text(std::string(60, 'x'), 50), std::string(50, 'x'));
  EXPECT_EQ(field_text("  Title  ", 100), "  Title");  // leading blanks are the user's
  EXPECT_EQ(left_adjusted("   Rate (mM/s)  ", 50), "Rate (mM/s)");
  EXPECT_EQ(left_adjusted("     ", 50), "");
  EXPECT_EQ(left_adjusted("  " + std::string(60, 'y'), 50), std::string(50, 'y'));
}

struct NameCase {
  std::string in, out;
};

class TextFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(TextFileName, ReplacesTheReportsExtensionWithTxt) {
  EXPECT_EQ(text_file_name(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Reports, TextFileName,
                         ::testing::Values(NameCase{"/work/RUN1.out", "/work/RUN1.txt"},
                                           NameCase{"/work/run.1.out", "/work/run.1.txt"},
                                           // a "." in a folder name is not the file's extension
                                           NameCase{"/home/a.b/dout", "/home/a.b/dout.txt"},
                                           NameCase{"out", "out.txt"}));

TEST(TextFields, PathPieces) {
  EXPECT_EQ(bare_file_name("/data/Run1.dat"), "Run1.dat");
  EXPECT_EQ(bare_file_name("Run1.dat"), "Run1.dat");
  EXPECT_EQ(bare_file_name("/data/"), "");
  EXPECT_EQ(with_trailing_slash("/data"), "/data/");
  EXPECT_EQ(with_trailing_slash("/data//"), "/data/");
  EXPECT_EQ(with_trailing_slash("/"), "/");
}

TEST(TextFields, Utf8FileNamesBecomeWindows1252) {
  EXPECT_EQ(utf8_to_cp1252("plain.dat"), "plain.dat");
  EXPECT_EQ(utf8_to_cp1252("M\xc3\xbcller.dat"), "M\xfcller.dat");  // u-umlaut
  EXPECT_EQ(utf8_to_cp1252("kd\xe2\x84\xa2"), "kd\x99");            // trademark sign
  EXPECT_EQ(utf8_to_cp1252("\xe2\x82\xac"), "\x80");                // euro sign
  EXPECT_EQ(utf8_to_cp1252("\xe4\xb8\xad.dat"), "?.dat");           // outside the code page
  EXPECT_EQ(utf8_to_cp1252("bad\xff"), "bad\xff");                  // not UTF-8: kept
}

}  // namespace
}  // namespace brx
