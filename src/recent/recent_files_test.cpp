#include "recent/recent_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "testing/test_data_file.h"

namespace zandorik {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, NewestFirstWithoutRepeatsUpToEight) {
  EXPECT_EQ(RecentFiles({"/a", "", "/b", "/a"}).Paths(), (Paths{"/a", "/b"}));
  RecentFiles files;
  for (int i = 1; i <= 10; ++i)
    files.Add("/f" + std::to_string(i));
  EXPECT_EQ(files.Paths(), (Paths{"/f10", "/f9", "/f8", "/f7", "/f6", "/f5", "/f4", "/f3"}));
  files.Add("/f5");
  EXPECT_EQ(files.Paths(), (Paths{"/f5", "/f10", "/f9", "/f8", "/f7", "/f6", "/f4", "/f3"}));
  files.Add("relative.QMV");
  EXPECT_EQ(files.Paths().front(), (std::filesystem::current_path() / "relative.QMV").string());
  EXPECT_EQ(files.Paths().size(), RecentFiles::kLimit);
  files.Clear();
  EXPECT_TRUE(files.Paths().empty());
}

TEST(RecentFiles, MissingFilesCanBeTakenOff) {
  TestDataFile data;
  data.Write({});
  const std::string gone = (data.dir / "gone.QMV").string();
  RecentFiles files({gone, data.path});
  EXPECT_FALSE(RecentFiles::Exists(gone));
  files.RemoveMissing();
  EXPECT_EQ(files.Paths(), Paths{data.path});
}

}  // namespace
}  // namespace zandorik
