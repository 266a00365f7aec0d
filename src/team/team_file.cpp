#include "team/team_file.h"

#include <fcntl.h>
#include <rapidjson/error/en.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "store/cp1252.h"
#include "store/data_file.h"
#include "store/figure_json.h"
#include "store/output_file.h"

namespace zandorik {
namespace {

constexpr std::string_view kEntryKeys[] = {"count", "source"};
// A team file is small; anything past this is not one.
constexpr std::int64_t kMaxTeamFileBytes = 64 << 20;

std::string Json(std::string_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

std::string SourceJson(const std::optional<TeamSource>& source) {
  if (!source) return "null";
  return "{\"file\": " + Json(source->file) + ", \"name\": " + Json(source->name) + "}";
}

std::string_view Text(const rapidjson::Value& value) {
  return {value.GetString(), value.GetStringLength()};
}

// Reads the document, gathering problems as the figure reader does.
class TeamReader {
 public:
  explicit TeamReader(TeamText& result) : result_(result) {}

  void Read(const rapidjson::Value& top) {
    if (!top.IsObject()) {
      Problem("", std::string("must be an object, not ") + JsonKindText(top));
      return;
    }
    constexpr std::array<std::string_view, 5> keys = {"format", "version", "name", "cap",
                                                      "figures"};
    std::uint32_t seen = 0;
    for (const auto& member : top.GetObject()) {
      const std::string_view key = Text(member.name);
      std::size_t k = 0;
      while (k < keys.size() && keys[k] != key)
        ++k;
      if (k == keys.size()) {
        Problem("", "unknown key " + Json(key));
        continue;
      }
      if (seen & (1u << k)) {
        Problem("", Json(key) + " is given twice");
        continue;
      }
      seen |= 1u << k;
      Member(key, member.value);
    }
    for (std::size_t k = 0; k < keys.size(); ++k) {
      if (!(seen & (1u << k))) Problem("", "no " + Json(keys[k]));
    }
  }

  // Moves the figures read into the team, once every entry was read.
  void Finish() {
    result_.problems = std::move(figures_.problems);
    result_.unlisted = figures_.unlisted;
    if (!result_.problems.empty()) {
      result_.team.entries.clear();
      return;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      result_.team.entries.push_back(
          TeamFigure::Of(figures_.figures[i], std::move(entries_[i].source), entries_[i].count));
    }
  }

 private:
  struct Entry {
    std::optional<TeamSource> source;
    int count = 1;
  };

  // Kept with the figures' problems, in document order.
  void Problem(const std::string& where, const std::string& what) {
    if (figures_.problems.size() >= kMaxProblems) {
      ++figures_.unlisted;
      return;
    }
    figures_.problems.push_back((where.empty() ? "the document" : where) + ": " + what);
  }
  void Wrong(const std::string& where, const std::string& want, const rapidjson::Value& value) {
    Problem(where, "must be " + want + ", not " + JsonKindText(value));
  }

  void Member(std::string_view key, const rapidjson::Value& value) {
    const std::string where(key);
    if (key == "format") {
      if (!value.IsString()) return Wrong(where, Json(kTeamFormat), value);
      if (Text(value) != kTeamFormat)
        Problem(where, "must be " + Json(kTeamFormat) + ", not " + Json(Text(value)));
    } else if (key == "version") {
      if (!value.IsInt64()) return Wrong(where, "1", value);
      if (value.GetInt64() != kTeamFormatVersion) {
        Problem(where, "version " + std::to_string(value.GetInt64()) +
                           " is not known here: this program reads version 1");
      }
    } else if (key == "name") {
      if (!value.IsString()) return Wrong(where, "a text", value);
      result_.team.name = Text(value);
    } else if (key == "cap") {
      const std::string want = "a whole number from 1 to " + std::to_string(kMaxTeamCap);
      if (!value.IsInt64()) return Wrong(where, want, value);
      if (value.GetInt64() < 1 || value.GetInt64() > kMaxTeamCap)
        return Problem(where, "must be " + want + ", not " + std::to_string(value.GetInt64()));
      result_.team.cap = value.GetInt64();
    } else {
      if (!value.IsArray()) return Wrong(where, "a list of figures", value);
      for (rapidjson::SizeType i = 0; i < value.Size(); ++i)
        ReadEntry(i, value[i]);
    }
  }

  void ReadEntry(std::size_t index, const rapidjson::Value& value) {
    const std::string where = "figures[" + std::to_string(index) + "]";
    // The figure's own members, then what the team adds to them.
    const bool figure = ReadFigureValue(value, index, kEntryKeys, figures_);
    if (!value.IsObject()) return;
    Entry entry;
    bool hasCount = false, hasSource = false;
    for (const auto& member : value.GetObject()) {
      const std::string_view key = Text(member.name);
      if (key != "count" && key != "source") continue;
      bool& seen = key == "count" ? hasCount : hasSource;
      if (seen) {
        Problem(where, Json(key) + " is given twice");
        continue;
      }
      seen = true;
      if (key == "count") {
        ReadCount(where + ".count", member.value, entry.count);
      } else {
        ReadSource(where + ".source", member.value, entry.source);
      }
    }
    if (!hasCount) Problem(where, "no \"count\"");
    if (figure) entries_.push_back(std::move(entry));  // one for each figure read
  }

  void ReadCount(const std::string& where, const rapidjson::Value& value, int& count) {
    const std::string want = "a whole number from 1 to " + std::to_string(kMaxEntryCount);
    if (!value.IsInt64()) return Wrong(where, want, value);
    if (value.GetInt64() < 1 || value.GetInt64() > kMaxEntryCount)
      return Problem(where, "must be " + want + ", not " + std::to_string(value.GetInt64()));
    count = static_cast<int>(value.GetInt64());
  }

  void ReadSource(const std::string& where, const rapidjson::Value& value,
                  std::optional<TeamSource>& source) {
    if (value.IsNull()) return;
    if (!value.IsObject()) return Wrong(where, "null or {\"file\": ..., \"name\": ...}", value);
    TeamSource read;
    std::uint32_t seen = 0;
    for (const auto& member : value.GetObject()) {
      const std::string_view key = Text(member.name);
      const int k = key == "file" ? 0 : key == "name" ? 1 : -1;
      if (k < 0) {
        Problem(where, "unknown key " + Json(key));
      } else if (seen & (1u << k)) {
        Problem(where, Json(key) + " is given twice");
      } else if (seen |= 1u << k; !member.value.IsString()) {
        Wrong(where + "." + std::string(key), "a text", member.value);
      } else if (k == 0) {
        read.file = Text(member.value);
        if (read.file.empty()) Problem(where + ".file", "must name a data file");
      } else {
        read.name = Text(member.value);
        if (const std::string misfit = FirstMisfitCp1252(read.name); !misfit.empty()) {
          Problem(where + ".name", "the name " + Json(read.name) + " holds the character " +
                                       Json(misfit) + ", which a data file cannot store");
        } else if (EncodeCp1252(read.name).size() > kNameLength) {
          Problem(where + ".name", "the name " + Json(read.name) + " is longer than 30 characters");
        }
      }
    }
    if (!(seen & 1u)) Problem(where, "no \"file\"");
    if (!(seen & 2u)) Problem(where, "no \"name\"");
    source = std::move(read);
  }

  TeamText& result_;
  FigureText figures_;  // the figures read so far, one for each entry
  std::vector<Entry> entries_;
};

FileError Failure(const std::string& path, int number) {
  return {number, path + ": " + std::strerror(number)};
}

}  // namespace

std::string TeamDocument(const Team& team) {
  std::string text;
  FigureTextWriter writer(text);
  const JsonMember head[] = {{"name", Json(team.name)}, {"cap", std::to_string(team.cap)}};
  writer.Begin(kTeamFormat, kTeamFormatVersion, head);
  for (const TeamFigure& entry : team.entries) {
    const JsonMember members[] = {{"count", std::to_string(entry.count)},
                                  {"source", SourceJson(entry.source)}};
    writer.Figure(entry.figure, entry.price.points, members);
  }
  writer.End();
  return text;
}

TeamText ReadTeamText(std::string_view text) {
  TeamText result;
  if (const std::string kind = NonJsonKind(text); !kind.empty()) {
    result.problems.push_back("it is " + kind + ", not a team file");
    return result;
  }
  std::size_t skipped = 0;
  if (text.starts_with("\xEF\xBB\xBF")) skipped = 3;
  rapidjson::Document document;
  constexpr unsigned kFlags =
      rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag;
  document.Parse<kFlags>(text.data() + skipped, text.size() - skipped);
  if (document.HasParseError()) {
    const auto [line, column] = LineAndColumn(text, document.GetErrorOffset() + skipped);
    result.problems.push_back("line " + std::to_string(line) + ", column " +
                              std::to_string(column) + ": " +
                              rapidjson::GetParseError_En(document.GetParseError()));
    return result;
  }
  TeamReader reader(result);
  reader.Read(document);
  reader.Finish();
  return result;
}

bool ReadTeamFile(const std::string& path, TeamText& text, FileError* error) {
  const auto fail = [&](int number) {
    if (error) *error = Failure(path, number);
    return false;
  };
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return fail(errno);
  std::string bytes;
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, got);
    if (static_cast<std::int64_t>(bytes.size()) > kMaxTeamFileBytes) {
      std::fclose(file);
      return fail(EFBIG);
    }
  }
  const int number = std::ferror(file) ? errno : 0;
  std::fclose(file);
  if (number != 0) return fail(number);
  text = ReadTeamText(bytes);
  return true;
}

bool WriteTeamFile(const std::string& path, const Team& team, bool replace, FileError* error) {
  const auto fail = [&](int number) {
    if (error) *error = Failure(path, number);
    return false;
  };
  if (!RefuseDataFileOutput(path, error)) return false;
  const std::string document = TeamDocument(team);
  struct stat old {};
  const bool existed = ::stat(path.c_str(), &old) == 0;
  if (existed && !replace) return fail(EEXIST);

  // A name of its own beside the file; the umask applies to the new file.
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return fail(errno);
  }
  if (fd < 0) return fail(EEXIST);
  const auto abandon = [&](int number) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.c_str());
    return fail(number);
  };
  if (existed && ::fchmod(fd, old.st_mode & 07777) != 0) return abandon(errno);
  for (std::size_t done = 0; done < document.size();) {
    const ssize_t wrote = ::write(fd, document.data() + done, document.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return abandon(wrote < 0 ? errno : EIO);
    done += static_cast<std::size_t>(wrote);
  }
  if (::fsync(fd) != 0) return abandon(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return abandon(errno);
  if (replace) {
    if (::rename(temporary.c_str(), path.c_str()) != 0) return abandon(errno);
  } else {
    // link() takes the name only if nobody has it, even now.
    if (::link(temporary.c_str(), path.c_str()) != 0) return abandon(errno);
    ::unlink(temporary.c_str());
  }
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) folder = ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return fail(errno);
  const bool flushed = ::fsync(dir) == 0;
  const int number = errno;
  ::close(dir);
  return flushed || fail(number);
}

}  // namespace zandorik
