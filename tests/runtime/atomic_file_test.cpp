#include "runtime/atomic_file.h"

#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace fvn {
namespace {

TEST(AtomicFile, ReplacesWholeOrLeavesTheFileAsItWas) {
  const testing::TempFolder folder;
  const std::string path = folder.file("a.ini");
  ASSERT_TRUE(write_file_atomically(path, "old"));
  ASSERT_TRUE(write_file_atomically(path, std::string("new\0bytes", 9)));
  EXPECT_EQ(testing::read_file(path), std::string("new\0bytes", 9));

  const AtomicWrite missing = write_file_atomically(folder.file("no/such/folder"), "x");
  EXPECT_EQ(missing.failed, AtomicWrite::Step::create);
  EXPECT_EQ(missing.error, ENOENT);

  // A folder in the way: the rename fails, and no temporary file is left.
  std::filesystem::create_directories(folder.path() / "taken" / "inside");
  const AtomicWrite blocked = write_file_atomically(folder.file("taken"), "x");
  EXPECT_EQ(blocked.failed, AtomicWrite::Step::rename);
  EXPECT_FALSE(std::filesystem::exists(folder.file("taken.tmp")));
  EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "taken" / "inside"));
}

}  // namespace
}  // namespace fvn
