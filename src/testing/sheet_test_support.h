// For the dial sheet tests: the sample figures, SVG pages read back into
// shapes, and programs run with their output caught.
#pragma once

#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "sheet/sheet_figure.h"
#include "store/record_file.h"

namespace zandorik {

inline std::vector<FigureRecord> ExampleRecords() {
  RecordFile file;
  FileError error;
  EXPECT_TRUE(file.Open(ZANDORIK_EXAMPLES_DIR "/figures.QMV", RecordFile::Mode::ReadOnly, &error));
  std::vector<FigureRecord> records;
  FigureRecord record;
  for (std::int64_t n = 1; file.Read(n, record, &error) == RecordFile::ReadResult::Ok; ++n)
    if (!record.IsDeleted()) records.push_back(record);
  return records;
}

inline std::vector<SheetFigure> ExampleFigures() {
  std::vector<SheetFigure> figures;
  std::vector<std::string> messages;
  for (const FigureRecord& record : ExampleRecords())
    figures.push_back(SheetFigureFromRecord(record, messages));
  return figures;
}

// The shapes of an SVG page, each with the label of its layer and its
// attributes as written.
struct SvgShape {
  std::string kind, layer;
  std::map<std::string, std::string> attributes;
  std::string text;
  double Number(const std::string& name) const {
    const auto it = attributes.find(name);
    return it == attributes.end() ? 0 : std::stod(it->second);
  }
  bool Has(const std::string& name) const { return attributes.count(name) != 0; }
};

struct SvgPage {
  std::map<std::string, std::string> root;
  std::vector<std::string> layers;  // "groupmode label" of each group
  std::vector<SvgShape> shapes;
};

inline SvgPage ReadSvg(const std::string& svg) {
  SvgPage page;
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  std::string layer;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const std::string name = xml.name().toString().toStdString();
    std::map<std::string, std::string> attributes;
    for (const QXmlStreamAttribute& a : xml.attributes())
      attributes[a.qualifiedName().toString().toStdString()] = a.value().toString().toStdString();
    if (name == "svg") {
      page.root = attributes;
    } else if (name == "g") {
      layer = attributes["inkscape:label"];
      page.layers.push_back(attributes["inkscape:groupmode"] + " " + layer);
    } else if (name != "title") {
      SvgShape shape{name, layer, attributes, {}};
      if (name == "text") shape.text = xml.readElementText().toStdString();
      page.shapes.push_back(shape);
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return page;
}

struct ShellRun {
  int status;
  std::string out, err;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Runs a shell command line; its output and errors are caught in files.
inline ShellRun Shell(const std::string& command) {
  const std::string base = testing::TempDir() + "zandorik_shell_" + std::to_string(::getpid());
  const int raw = std::system((command + " >" + base + ".out 2>" + base + ".err").c_str());
  ShellRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(base + ".out"),
               ReadText(base + ".err")};
  std::remove((base + ".out").c_str());
  std::remove((base + ".err").c_str());
  return run;
}

}  // namespace zandorik
