// The six files the show reads: each at its size, and the same bytes on every run.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "tests/assets/generated_files.h"

namespace {

TEST(GeneratedFiles, AreTheSixFilesAtTheirSizesAndTheSameOnEveryRun) {
  // Pictures of 640x400 and 91 glyphs of 8x16, 4 bytes a pixel. The module has no fixed size:
  // its reader checks that it ends where its last sample does (module_test).
  const std::map<std::string, std::size_t> sizes = {
      {"drumvelk.raw", 640 * 400 * 4},       {"presents.raw", 640 * 400 * 4},
      {"quillmar.raw", 640 * 400 * 4},       {"balls.raw", 640 * 400 * 4},
      {"zadadodovoze.raw", 91 * 8 * 16 * 4}, {"theme2.xm", 0}};
  const std::string again = run_generator();
  ASSERT_FALSE(again.empty());
  std::set<std::string> written;
  for (const auto& entry : std::filesystem::directory_iterator(again)) {
    written.insert(entry.path().filename().string());
  }
  EXPECT_EQ(written.size(), sizes.size());
  for (const auto& [name, size] : sizes) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(written.count(name));
    EXPECT_TRUE(size == 0 || generated(name).size() == size) << generated(name).size() << " bytes";
    EXPECT_TRUE(read_file(again + "/" + name) == generated(name)) << "differs on a second run";
  }
  std::filesystem::remove_all(again);
}

}  // namespace
