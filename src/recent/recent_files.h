// The list of data files opened or created last, newest first, as the
// "Recent Files" menu offers them. The window keeps it in its settings
// file; this is the list's own logic, without Qt.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zandorik {

class RecentFiles {
 public:
  static constexpr std::size_t kLimit = 8;

  // A list as it was kept: empty entries and repeats dropped, cut to the
  // limit.
  explicit RecentFiles(const std::vector<std::string>& paths = {});

  // `path` made absolute (not resolved: a link stays a link) goes first;
  // an earlier entry of it goes, and the oldest past the limit.
  void Add(const std::string& path);
  void Remove(const std::string& path);
  // Entries whose file is no longer there go.
  void RemoveMissing();
  void Clear() { paths_.clear(); }

  const std::vector<std::string>& Paths() const { return paths_; }
  static bool Exists(const std::string& path);

 private:
  std::vector<std::string> paths_;
};

}  // namespace zandorik
