#include "app/file_channels.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace brx {
namespace {

class FileChannels : public ::testing::Test {
 protected:
  void TearDown() override { close_all_units(); }
  test::TempDir dir;
};

TEST_F(FileChannels, TheFirstFreeChannelFromOneHundredIsTaken) {
  EXPECT_EQ(nuunit(), -100);
  ASSERT_TRUE(connect_unit(100, (dir.path() / "a.out").string(), UnitPosition::kAppend));
  ASSERT_TRUE(connect_unit(101, (dir.path() / "b.out").string(), UnitPosition::kAppend));
  EXPECT_EQ(nuunit(), -99);  // searched upwards from -100
  close_unit(100);
  EXPECT_EQ(nuunit(), -100);
  EXPECT_EQ(nuunit(-11, -10), -11);
  ASSERT_TRUE(connect_unit(11, (dir.path() / "c.out").string(), UnitPosition::kAppend));
  ASSERT_TRUE(connect_unit(10, (dir.path() / "d.out").string(), UnitPosition::kAppend));
  EXPECT_EQ(nuunit(-11, -10), 0);  // all taken
}

TEST_F(FileChannels, AChannelKnowsItsFileUntilItIsClosed) {
  const std::string report = (dir.path() / "run1.out").string();
  EXPECT_EQ(isunitopen(100), 0);
  EXPECT_EQ(unit_file_name(100), "");
  ASSERT_TRUE(connect_unit(100, report, UnitPosition::kAppend));
  EXPECT_EQ(isunitopen(100), 1);
  EXPECT_EQ(unit_file_name(100), report);
  EXPECT_EQ(unit_of_file(report), 100);
  close_unit(100);
  EXPECT_EQ(isunitopen(100), 0);
  EXPECT_EQ(unit_of_file(report), 0);
}

TEST_F(FileChannels, ConnectingCreatesAMissingFileAndKeepsOrEmptiesAnExistingOne) {
  const auto created = dir.path() / "new.out";
  ASSERT_TRUE(connect_unit(100, created.string(), UnitPosition::kAppend));
  EXPECT_TRUE(std::filesystem::exists(created));
  const auto kept = dir.write("kept.out", "report text");
  ASSERT_TRUE(connect_unit(101, kept.string(), UnitPosition::kAppend));
  EXPECT_EQ(test::TempDir::read(kept), "report text");
  ASSERT_TRUE(connect_unit(102, kept.string(), UnitPosition::kRewind));
  EXPECT_EQ(test::TempDir::read(kept), "");
  EXPECT_FALSE(
      connect_unit(103, (dir.path() / "no/such/folder.out").string(), UnitPosition::kAppend));
  EXPECT_EQ(isunitopen(103), 0);
}

}  // namespace
}  // namespace brx
