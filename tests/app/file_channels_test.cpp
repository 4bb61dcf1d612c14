#include "app/file_channels.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace brx {
namespace {

TEST(FileChannels, FreeNumbersAreSearchedUpwardsFromMinusOneHundred) {
  test::TempDir dir;
  EXPECT_EQ(nuunit(), -100);
  ASSERT_TRUE(connect_unit(100, (dir.path() / "a.out").string(), UnitPosition::kAppend));
  EXPECT_EQ(nuunit(), -99);
  ASSERT_TRUE(connect_unit(11, (dir.path() / "c.out").string(), UnitPosition::kAppend));
  ASSERT_TRUE(connect_unit(10, (dir.path() / "d.out").string(), UnitPosition::kAppend));
  EXPECT_EQ(nuunit(-11, -10), 0);  // all taken
  close_all_units();
  EXPECT_EQ(nuunit(-11, -10), -11);
}

TEST(FileChannels, AChannelKnowsItsFileUntilItIsClosed) {
  test::TempDir dir;
  const auto report = dir.write("run1.out", "report text");
  ASSERT_TRUE(connect_unit(100, report.string(), UnitPosition::kAppend));
  EXPECT_EQ(test::TempDir::read(report), "report text");
  EXPECT_EQ(isunitopen(100), 1);
  EXPECT_EQ(unit_file_name(100), report.string());
  EXPECT_EQ(unit_of_file(report.string()), 100);
  close_unit(100);
  EXPECT_EQ(isunitopen(100), 0);
  EXPECT_EQ(unit_file_name(100), "");
  EXPECT_EQ(unit_of_file(report.string()), 0);

  ASSERT_TRUE(connect_unit(102, (dir.path() / "new.out").string(), UnitPosition::kAppend));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "new.out"));
  EXPECT_FALSE(connect_unit(103, (dir.path() / "no/folder.out").string(), UnitPosition::kAppend));
  EXPECT_EQ(isunitopen(103), 0);
  close_all_units();
}

}  // namespace
}  // namespace brx
