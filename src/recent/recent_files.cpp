#include "recent/recent_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace zandorik {

RecentFiles::RecentFiles(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (path.empty() || std::find(paths_.begin(), paths_.end(), path) != paths_.end()) continue;
    if (paths_.size() == kLimit) break;
    paths_.push_back(path);
  }
}

void RecentFiles::Add(const std::string& path) {
  if (path.empty()) return;
  std::error_code error;
  std::string absolute = std::filesystem::absolute(path, error).string();
  if (error) absolute = path;
  Remove(absolute);
  paths_.insert(paths_.begin(), absolute);
  if (paths_.size() > kLimit) paths_.resize(kLimit);
}

void RecentFiles::Remove(const std::string& path) {
  paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
}

void RecentFiles::RemoveMissing() {
  paths_.erase(std::remove_if(paths_.begin(), paths_.end(),
                              [](const std::string& path) { return !Exists(path); }),
               paths_.end());
}

bool RecentFiles::Exists(const std::string& path) {
  struct stat there {};
  return ::stat(path.c_str(), &there) == 0;
}

}  // namespace zandorik
