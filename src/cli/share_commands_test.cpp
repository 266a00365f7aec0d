// `zandorik code` and `zandorik import --code` on real data files: a file
// copied through its codes byte for byte, and the statuses of every refusal.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/subcommand.h"
#include "share/share_code.h"
#include "testing/command_run.h"
#include "testing/random_record.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

// The codes of `zandorik code`'s lines.
std::vector<std::string> Codes(const std::string& out) {
  std::vector<std::string> codes;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);)
    codes.push_back(line.substr(line.find('\t') + 1));
  return codes;
}

TEST(ShareCommands, AFileCopiedThroughItsCodesIsTheSameBytes) {
  TestDataFile data;
  const std::vector<FigureRecord> records = RandomNamedRecords(300, 7);
  data.Write(records);
  const CommandRun coded = Zandorik({"code", data.path});
  ASSERT_EQ(coded.status, kExitOk) << coded.err;
  std::vector<std::string> args = {"import", (data.dir / "copy.QMV").string(), "--code"};
  const std::vector<std::string> codes = Codes(coded.out);
  args.insert(args.end(), codes.begin(), codes.end());
  const CommandRun imported = Zandorik(args);
  ASSERT_EQ(imported.status, kExitOk) << imported.err;

  std::string figures;
  for (const FigureRecord& r : records) {
    const RecordBytes bytes = EncodeRecord(r);
    if (!r.IsDeleted()) figures.append(bytes.begin(), bytes.end());
  }
  std::ifstream copy(data.dir / "copy.QMV", std::ios::binary);
  EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(copy), {}) == figures);
}

TEST(ShareCommands, StatusesAndRefusals) {
  TestDataFile data;
  const std::string examples = ZANDORIK_EXAMPLES_DIR "/figures.QMV";
  const std::vector<std::string> worked = Codes(Zandorik({"code", examples, "Worked"}).out);
  ASSERT_EQ(worked.size(), 1u);
  std::string damaged = worked[0];
  damaged[7] = damaged[7] == '0' ? '1' : '0';
  std::filesystem::copy_file(examples, data.path);
  std::filesystem::copy_file(examples, data.dir / "long.QMV");
  { std::ofstream(data.dir / "long.QMV", std::ios::app) << "tail"; }
  const std::string before = data.Bytes();
  const std::string missing = (data.dir / "missing.QMV").string();
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out, err;  // the whole output; the first line of errors
  } cases[] = {
      {{"code", examples, "Alley Cat", "Worked"},
       kExitOk,
       "Alley Cat\t" +
           ShareCode(DecodeRecord(reinterpret_cast<const std::uint8_t*>(before.data()) + 6 * 486)) +
           "\nWorked\t" + worked[0] + "\n",
       ""},
      {{"code", examples, "Nobody"},
       kExitUsage,
       "",
       "zandorik code: no figure named \"Nobody\" is stored in " + examples},
      {{"code", missing}, kExitUnreadable, "", "zandorik code: " + missing + ": No such file"},
      {{"code", (data.dir / "long.QMV").string(), "Worked"},
       kExitDamaged,
       "Worked\t" + worked[0] + "\n",
       "zandorik code: "},
      {{"import", data.path, "--code", worked[0], damaged, "Worked"},
       kExitUsage,
       "",
       "zandorik import: code 2: the code is damaged (checksum)"},
      {{"import", data.path, "--code"}, kExitUsage, "", "zandorik import: --code needs the codes"},
      {{"import", data.path, "--code", worked[0], "--dry-run"},
       kExitOk,
       "unchanged record 1: \"Worked\"\n1 figure would be stored: 0 replaced, 0 added, 1 "
       "unchanged\n",
       ""},
      {{"import", missing, "--code", "ZD1:"}, kExitUsage, "", "zandorik import: code 1: the"},
  };
  for (const auto& c : cases) {
    const CommandRun run = Zandorik(c.args);
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    EXPECT_TRUE(data.Bytes() == before);
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace zandorik
