// zandorik sheet as a program, run without a display: every exit status,
// the files it writes (or does not), several pages, names that begin alike.
#include <filesystem>

#include "testing/sheet_test_support.h"
#include "testing/test_data_file.h"

namespace zandorik {
namespace {

namespace fs = std::filesystem;

// The program on a machine without a desktop: no display of any kind.
ShellRun Sheet(const std::string& args) {
  return Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " ZANDORIK_PROGRAM " sheet " +
               args);
}

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() != ".QMV") names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

FigureRecord Named(const std::string& name, int range = 0) {
  FigureRecord record = ExampleRecords().at(1);
  record.Name = name;
  record.Range = static_cast<std::int16_t>(range);
  return record;
}

// The pieces' outer circles, pin holes aside.
int CutCircles(const std::string& svgPath) {
  int n = 0;
  for (const SvgShape& s : ReadSvg(ReadText(svgPath)).shapes)
    n += s.layer == "Cut" && s.kind == "circle" && s.Number("r") > 1;
  return n;
}

struct Case {
  std::string args;  // after the output's and the data file's place
  int status;
  std::vector<std::string> errors;
};

// Everything wrong on the command line: status 2, each fault named,
// nothing written.
TEST(SheetCommand, WrongCommandLinesWriteNothing) {
  TestDataFile data;
  data.Write({Named("Vexa"), Named("Alley Cat")});
  const std::string out = (data.dir / "out.pdf").string();
  const std::string empty = (data.dir / "empty.QMV").string();
  std::ofstream(empty).close();
  const std::vector<Case> cases = {
      {"--bogus -o " + out + " " + data.path, 2, {"unknown option --bogus"}},
      {"--diameter 39.9 -o " + out + " " + data.path, 2, {"diameter \"39.9\"", "from 40 to 80"}},
      {"--diameter 81 -o " + out + " " + data.path, 2, {"from 40 to 80"}},
      {"--registration=yes -o " + out + " " + data.path, 2, {"--registration"}},
      {"--diameter 4O -o " + out + " " + data.path, 2, {"diameter \"4O\""}},
      {"--paper a3 -o " + out + " " + data.path, 2, {"unknown paper \"a3\""}},
      {"--dpi 0 -o " + out + " " + data.path, 2, {"resolution \"0\""}},
      {data.path, 2, {"-o OUT.pdf"}},
      {"-o " + (data.dir / "out.jpg").string() + " " + data.path, 2, {".pdf, .svg or .png"}},
      {"-o " + out, 2, {"name the data file"}},
      {"-o " + out + " " + data.path + " Vex 'Alley Cat' Nobody",
       2,
       {"no figure named \"Vex\"", "no figure named \"Nobody\"", "nothing was written"}},
      {"-o " + out + " " + data.path + " 'alley  cat'",
       2,
       {"holds no figure named \"alley  cat\"; did you mean \"Alley Cat\"?\n"}},
      {"-o " + out + " " + empty, 2, {empty + " holds no figure: there is nothing to put on a"}},
      {"-o " + out + " -", 2, {"\"-\" is never a data file"}},
      {"-o " + out + " " + (data.dir / "none.QMV").string(), 1, {"No such file or directory"}},
      {"-o " + out + " " + data.dir.string(), 1, {"cannot read"}},
      {"-o " + (data.dir / "no" / "out.pdf").string() + " " + data.path,
       4,
       {"cannot write", "no/out.pdf"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const ShellRun run = Sheet(c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    for (const std::string& e : c.errors)
      EXPECT_NE(run.err.find(e), std::string::npos) << run.err;
    EXPECT_EQ(FilesIn(data.dir), std::vector<std::string>{});
  }
}

// Exact names: "Vex" is not "Vexa", trailing blanks do not count; a
// single page is OUT.svg, more are OUT-1.svg ...; pricing messages go to
// standard error with the figure's name, its control characters escaped.
TEST(SheetCommand, ChosenFiguresAndPages) {
  TestDataFile data;
  std::vector<FigureRecord> records = {Named("Vexa"), Named("Vex", 3), Named("Vex Prime"),
                                       Named("Bell\x1b[31m\a", 5)};
  for (int i = 0; i < 11; ++i)
    records.push_back(Named("Filler " + std::to_string(i)));
  data.Write(records);
  const std::string svg = (data.dir / "vex.svg").string();
  ShellRun run = Sheet("-o " + svg + " " + data.path + " 'Vex  '");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, svg + "\n");
  EXPECT_EQ(CutCircles(svg), 2);
  EXPECT_NE(run.err.find("\"Vex\": Error in range: 3"), std::string::npos) << run.err;
  EXPECT_NE(ReadText(svg).find(">Vex<"), std::string::npos);
  EXPECT_NE(ReadText(svg).find("crispEdges"), std::string::npos);  // the code's modules

  run = Sheet("--paper letter --diameter 60 --registration --no-codes -o " +
              (data.dir / "all.svg").string() + " " + data.path);
  EXPECT_EQ(run.status, 0) << run.err;
  // Control characters of a name are written visibly.
  EXPECT_NE(run.err.find("\"Bell\\u001b[31m\\u0007\": Error in range: 5"), std::string::npos)
      << run.err;
  const std::vector<std::string> files = FilesIn(data.dir);
  ASSERT_GE(files.size(), 4u);
  EXPECT_EQ(files[0], "all-1.svg");
  int circles = 0;
  for (const std::string& f : files) {
    if (!f.starts_with("all-")) continue;
    circles += CutCircles((data.dir / f).string());
    EXPECT_NE(ReadText((data.dir / f).string()).find("registration-square"), std::string::npos);
    EXPECT_EQ(ReadText((data.dir / f).string()).find("crispEdges"), std::string::npos);
  }
  EXPECT_EQ(circles, 2 * 15);
  EXPECT_FALSE(fs::exists(data.dir / "all.svg"));
}

// A file cut short: the whole records make the sheet, the damage is named,
// status 3.
TEST(SheetCommand, DamagedFileStillMakesTheSheet) {
  TestDataFile data;
  data.Write({Named("Vexa"), Named("Alley Cat")});
  {
    std::ofstream tail(data.path, std::ios::binary | std::ios::app);
    tail << "half a record";
  }
  const std::string pdf = (data.dir / "out.pdf").string();
  const ShellRun run = Sheet("-o " + pdf + " " + data.path);
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.err.find("zandorik repair"), std::string::npos) << run.err;
  EXPECT_NE(Shell("pdftotext " + pdf + " -").out.find("Alley Cat"), std::string::npos);
  // A figure not found in a damaged file: the damage is said first.
  const ShellRun missing = Sheet("-o " + pdf + " " + data.path + " Nobody");
  EXPECT_EQ(missing.status, 2);
  EXPECT_LT(missing.err.find("zandorik repair"), missing.err.find("no figure named"))
      << missing.err;
}

// The sample file's sheet, as its PNG pages at 300 dpi, as its PDF
// rasterised at 300 dpi as a scanner would, and as copies of the PNG pages
// made worse (ImageMagick): each read back by `zandorik scan` into a new
// data file that holds the sample's records byte for byte.
TEST(SheetCommand, CodesOnTheSheetScanBackByteForByte) {
  TestDataFile data;
  std::string records;
  for (const FigureRecord& record : ExampleRecords())
    for (const std::uint8_t byte : EncodeRecord(record))
      records += static_cast<char>(byte);
  const std::string dir = data.dir.string() + "/", examples = ZANDORIK_EXAMPLES_DIR "/figures.QMV";
  ASSERT_EQ(Sheet("-o " + dir + "png.png " + examples).status, 0);
  ASSERT_EQ(Sheet("-o " + dir + "sheet.pdf " + examples).status, 0);
  ASSERT_EQ(Shell("pdftoppm -r 300 -png " + dir + "sheet.pdf " + dir + "pdf").status, 0);
  // Pages NAME-1.EXT and NAME-2.EXT, made from png-1.png and png-2.png by
  // convert's ARGUMENTS.
  const std::vector<std::array<std::string, 3>> copies = {
      {"png", "png", ""},
      {"pdf", "png", ""},
      {"150dpi", "png", "-resample 150"},
      {"rotated", "png", "-background white -rotate 3"},
      {"blurred", "png", "-blur 0x2"},
      {"quality60", "jpg", "-quality 60"},
      {"grey", "png", "-colorspace Gray"}};
  for (const auto& [name, extension, arguments] : copies) {
    SCOPED_TRACE(name);
    std::string pages, counts;
    for (const auto& [page, count] : {std::pair("-1", "4"), std::pair("-2", "2")}) {
      const std::string path = dir + name + page + "." + extension;
      if (!arguments.empty())
        Shell("MAGICK_THREAD_LIMIT=1 convert " + dir + "png" + page + ".png " + arguments + " " +
              path);
      pages += " " + path;
      counts += "zandorik scan: " + path + ": " + count + " figure codes\n";
    }
    std::filesystem::remove(data.path);
    const ShellRun scan = Shell(ZANDORIK_PROGRAM " scan -o " + data.path + pages);
    EXPECT_EQ(scan.err, counts);
    EXPECT_TRUE(scan.status == 0 && ReadText(data.path) == records);
  }
}

TEST(SheetCommand, HelpAndListing) {
  EXPECT_NE(Shell(ZANDORIK_PROGRAM " --help").out.find("sheet"), std::string::npos);
  const ShellRun help = Sheet("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: zandorik sheet"), std::string::npos);
}

// zandorik hands the commands that draw to zandorik-draw; without it
// beside zandorik or installed, each says what it could not run.
TEST(SheetCommand, WithoutTheDrawingProgram) {
  const TestDataFile data;
  const std::string alone = fs::path(data.path).parent_path() / "zandorik";
  fs::copy_file(ZANDORIK_PROGRAM, alone);
  for (const std::string& command : std::vector<std::string>{
           "sheet -o x.pdf " + data.path, "scan x.png", "team sheet x.team -o x.pdf"}) {
    const ShellRun run = Shell(alone + " " + command);
    EXPECT_EQ(run.status, 2) << command;
    EXPECT_NE(run.err.find("cannot run "), std::string::npos) << command << run.err;
  }
}

}  // namespace
}  // namespace zandorik
