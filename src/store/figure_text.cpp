#include "store/figure_text.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <unordered_map>

#include "model/lists.h"
#include "store/cp1252.h"
#include "store/data_file.h"
#include "store/figure_json.h"

namespace zandorik {
namespace {

constexpr std::array<std::string_view, kStatRowCount> kRowKeys = {"speed", "attack", "defense",
                                                                  "damage"};
constexpr char kHexDigits[] = "0123456789ABCDEF";

// The bytes of the five places the code page leaves open, and the
// controls: a name holding one is written as its bytes.
bool PrintableByte(unsigned char b) {
  return b >= 0x20 && b != 0x7F && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D;
}

std::string StoredNameBytes(const FigureRecord& record) {
  return EncodeCp1252(FitName(record.Name));
}

std::string_view WithoutPadding(std::string_view bytes) {
  const std::size_t end = bytes.find_last_not_of(' ');
  return bytes.substr(0, end == std::string_view::npos ? 0 : end + 1);
}

void AppendInt(std::string& out, std::int64_t value) {
  char text[24];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

void AppendString(std::string& out, std::string_view utf8) {
  out += '"';
  for (char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20) {
      out += "\\u00";
      out += kHexDigits[b >> 4];
      out += kHexDigits[b & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

// A list position by its entry's text, or the raw number outside the list.
template <typename List, typename TextOf>
void AppendPosition(std::string& out, std::int16_t position, const List& list, TextOf textOf) {
  if (position >= 0 && position < static_cast<int>(list.size())) {
    AppendString(out, textOf(list[static_cast<std::size_t>(position)]));
  } else {
    AppendInt(out, position);
  }
}

// The table position whose code has exactly these eight bytes, or -1.
int ExactColour(double code) {
  const int colour = ColourPositionFromCode(code);
  return colour >= 0 && std::bit_cast<std::uint64_t>(kColours[colour].code) ==
                            std::bit_cast<std::uint64_t>(code)
             ? colour
             : -1;
}

void AppendClick(std::string& out, StatRow row, std::int16_t value, double code) {
  const int colour = ExactColour(code);
  if (colour == 0 && value == 0) {
    out += "\"KO\"";
    return;
  }
  out += "{\"value\": ";
  AppendInt(out, value);
  out += ", \"colour\": ";
  if (colour >= 0) {
    AppendString(out, kColours[colour].name);
  } else {
    out += "{\"bits\": \"";
    const auto bits = std::bit_cast<std::uint64_t>(code);
    for (int shift = 60; shift >= 0; shift -= 4)
      out += kHexDigits[(bits >> shift) & 0xF];
    out += "\"}";
  }
  // What the formula reads the colour as (-0 prices as black).
  if (const int priced = ColourPositionFromCode(code); priced >= 0) {
    out += ", \"power\": ";
    AppendString(out, PowerName(row, priced));
  }
  out += '}';
}

// Members of a larger document, each on a line of its own.
void AppendMembers(std::string& out, std::span<const JsonMember> members, std::string_view indent) {
  for (const JsonMember& member : members) {
    out += ",\n";
    out += indent;
    AppendString(out, member.key);
    out += ": ";
    out += member.value;
  }
}

}  // namespace

void FigureTextWriter::Begin() {
  Begin(kFigureFormat, kFigureFormatVersion, {});
}

void FigureTextWriter::Begin(std::string_view format, int version,
                             std::span<const JsonMember> members) {
  out_ += "{\n  \"format\": ";
  AppendString(out_, format);
  out_ += ",\n  \"version\": ";
  AppendInt(out_, version);
  AppendMembers(out_, members, "  ");
  out_ += ",\n  \"figures\": [";
  first_ = true;
}

void FigureTextWriter::Figure(const FigureRecord& r, std::optional<std::int32_t> points,
                              std::span<const JsonMember> members) {
  out_ += first_ ? "\n    {\n      \"name\": " : ",\n    {\n      \"name\": ";
  first_ = false;
  const std::string stored = StoredNameBytes(r);
  const std::string_view shown = WithoutPadding(stored);
  bool printable = true;
  for (char c : shown)
    printable = printable && PrintableByte(static_cast<unsigned char>(c));
  if (printable) {
    AppendString(out_, DecodeCp1252(shown));
  } else {
    out_ += "{\"bytes\": \"";
    for (std::size_t i = 0; i < stored.size(); ++i) {
      const auto b = static_cast<unsigned char>(stored[i]);
      if (i > 0) out_ += ' ';
      out_ += kHexDigits[b >> 4];
      out_ += kHexDigits[b & 0xF];
    }
    out_ += "\"}";
  }
  out_ += ",\n      \"move\": ";
  AppendPosition(out_, r.MoveIndex, kMovements, [](std::string_view m) { return m; });
  out_ += ",\n      \"team\": ";
  AppendPosition(out_, r.TeamIndex, kTeams, [](const TeamEntry& t) { return t.name; });
  out_ += ",\n      \"range\": ";
  AppendInt(out_, r.Range);
  out_ += ",\n      \"bolts\": [";
  for (int k = 0; k < 3; ++k) {
    if (k > 0) out_ += ", ";
    if (r.Bolt[k] == 0 || r.Bolt[k] == 1) {
      out_ += r.Bolt[k] == 1 ? "true" : "false";
    } else {
      AppendInt(out_, r.Bolt[k]);
    }
  }
  out_ += "],\n      \"rank\": ";
  AppendPosition(out_, r.RankIndex, kRanks, [](const RankEntry& e) { return e.caption; });
  out_ += ",\n      \"dial\": {";
  for (StatRow row : kStatRows) {
    const FigureRecord::Row& cells = r.RowOf(row);
    out_ += row == StatRow::Speed ? "\n        \"" : ",\n        \"";
    out_ += kRowKeys[static_cast<int>(row)];
    out_ += "\": [";
    for (int k = 0; k < kColumnCount; ++k) {
      out_ += k == 0 ? "\n          " : ",\n          ";
      AppendClick(out_, row, cells.Value[k], cells.Colour[k]);
    }
    out_ += "\n        ]";
  }
  out_ += "\n      },\n      \"points\": ";
  if (points) {
    AppendInt(out_, *points);
  } else {
    out_ += "null";
  }
  AppendMembers(out_, members, "      ");
  out_ += "\n    }";
}

void FigureTextWriter::End() {
  out_ += first_ ? "]\n}\n" : "\n  ]\n}\n";
}

void AppendJsonString(std::string& out, std::string_view utf8) {
  AppendString(out, utf8);
}

std::string ShownName(const FigureRecord& record) {
  return std::string(WithoutPadding(FitName(record.Name)));
}

std::string ProblemLines(const std::vector<std::string>& problems, std::int64_t unlisted,
                         std::size_t shown) {
  std::string lines;
  shown = std::min(problems.size(), shown);
  for (std::size_t i = 0; i < shown; ++i)
    lines += problems[i] + "\n";
  const std::int64_t more = unlisted + static_cast<std::int64_t>(problems.size() - shown);
  if (more > 0) lines += "... and " + std::to_string(more) + " more.\n";
  return lines;
}

std::pair<std::int64_t, std::int64_t> LineAndColumn(std::string_view text, std::size_t offset) {
  offset = std::min(offset, text.size());
  std::int64_t line = 1;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  std::int64_t column = 1;
  for (std::size_t i = lineStart; i < offset; ++i)
    column += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
  return {line, column};
}

namespace {

// Where a value stands in the document, which says what it must be.
enum class Node : std::uint8_t {
  Top,
  Figures,
  Figure,
  NameBytes,
  Bolts,
  Dial,
  Row,
  Click,
  Bits,
  Skip  // a list or object whose content is passed over
};

bool IsList(Node node) {
  return node == Node::Figures || node == Node::Bolts || node == Node::Row;
}

// The deepest a document goes: the document, its figures, a figure, the
// dial, a row, a click and its colour's bits. Anything deeper is refused
// as soon as it opens, so that no depth costs memory.
constexpr std::size_t kMaxDepth = 7;
// A value quoted in a problem is cut after this many characters.
constexpr std::size_t kQuotedCharacters = 60;

// The keys of each kind of object, in the order the writer writes them.
struct Keys {
  std::array<std::string_view, 8> names;
  std::uint32_t required;  // a bit for each key that must be given
};

const Keys* KeysOf(Node node) {
  static const Keys top{{"format", "version", "figures"}, 0b111};
  static const Keys figure{{"name", "move", "team", "range", "bolts", "rank", "dial", "points"},
                           0b1111111};
  static const Keys nameBytes{{"bytes"}, 0b1};
  static const Keys dial{{"speed", "attack", "defense", "damage"}, 0b1111};
  static const Keys click{{"value", "colour", "power"}, 0b1};
  static const Keys bits{{"bits"}, 0b1};
  switch (node) {
    case Node::Top:
      return &top;
    case Node::Figure:
      return &figure;
    case Node::NameBytes:
      return &nameBytes;
    case Node::Dial:
      return &dial;
    case Node::Click:
      return &click;
    case Node::Bits:
      return &bits;
    default:
      return nullptr;
  }
}

// Keys by their place in KeysOf: the document's, a figure's, a click's.
enum TopKey { kFormat, kVersion, kFigures };
enum FigureKey { kName, kMove, kTeam, kRange, kBolts, kRank, kDial, kPoints };
enum ClickKey { kValue, kColour, kPower };

// One JSON value as the reader hands it over.
struct Value {
  enum Kind { Null, Bool, Integer, BigInteger, Fraction, String, Object, Array };
  Value(Kind k, bool f = false, std::int64_t i = 0, std::string_view t = {})
      : kind(k), flag(f), integer(i), text(t) {}

  Kind kind;
  bool flag;
  std::int64_t integer;
  std::string_view text;  // String; the number's text for BigInteger

  bool Container() const { return kind == Object || kind == Array; }
};

const char* KindText(Value::Kind kind) {
  switch (kind) {
    case Value::Null:
      return "null";
    case Value::Bool:
      return "true or false";
    case Value::Integer:
    case Value::BigInteger:
      return "a number";
    case Value::Fraction:
      return "a number with a fraction";
    case Value::String:
      return "a text";
    case Value::Object:
      return "an object";
    case Value::Array:
      return "a list";
  }
  return "";
}

// At most kQuotedCharacters characters of the text, "..." for the rest.
std::string Shortened(std::string_view text) {
  std::size_t end = 0;
  for (std::size_t characters = 0; end < text.size() && characters < kQuotedCharacters;
       ++characters) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
      ++end;
  }
  std::string out(text.substr(0, end));
  if (end < text.size()) out += "...";
  return out;
}

std::string Quoted(std::string_view text) {
  std::string out;
  AppendString(out, Shortened(text));
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Hex digit pairs, blanks between them allowed; false for anything else.
bool ReadHex(std::string_view text, std::string& bytes) {
  bytes.clear();
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) return false;
    const int high = HexValue(text[i]), low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

class FigureHandler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, FigureHandler> {
 public:
  explicit FigureHandler(FigureText& result) : result_(result) {}

  bool Null() { return Take({Value::Null}); }
  bool Bool(bool b) { return Take({Value::Bool, b}); }
  bool Int(int i) { return Take({Value::Integer, false, i}); }
  bool Uint(unsigned u) { return Take({Value::Integer, false, u}); }
  bool Int64(std::int64_t i) { return Take({Value::Integer, false, i}); }
  bool Uint64(std::uint64_t u) {
    if (u <= static_cast<std::uint64_t>(INT64_MAX))
      return Take({Value::Integer, false, static_cast<std::int64_t>(u)});
    return Take({Value::BigInteger, false, 0, "a number that large"});
  }
  bool Double(double) { return Take({Value::Fraction}); }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    return Take({Value::String, false, 0, std::string_view(text, length)});
  }
  bool StartObject() { return Take({Value::Object}); }
  bool StartArray() { return Take({Value::Array}); }

  bool Key(const char* text, rapidjson::SizeType length, bool) {
    Frame& frame = stack_.back();
    frame.key.assign(text, length);
    frame.skipValue = false;
    frame.keyIndex = -1;
    if (frame.node == Node::Skip) return true;
    const Keys& keys = *KeysOf(frame.node);
    for (std::size_t i = 0; i < keys.names.size(); ++i) {
      if (!keys.names[i].empty() && keys.names[i] == frame.key)
        frame.keyIndex = static_cast<int>(i);
    }
    if (frame.keyIndex < 0 && frame.node == Node::Figure &&
        std::find(otherKeys_.begin(), otherKeys_.end(), frame.key) != otherKeys_.end()) {
      frame.skipValue = true;  // the larger document's own
    } else if (frame.keyIndex < 0) {
      Problem(Path(stack_.size() - 1), "unknown key " + Quoted(frame.key));
      frame.skipValue = true;
    } else if (frame.seen & (1u << frame.keyIndex)) {
      Problem(Path(stack_.size() - 1), Quoted(frame.key) + " is given twice");
      frame.skipValue = true;
    } else {
      frame.seen |= 1u << frame.keyIndex;
    }
    return true;
  }

  bool EndObject(rapidjson::SizeType) {
    const Node node = stack_.back().node;
    const std::uint32_t seen = stack_.back().seen;
    stack_.pop_back();
    if (node == Node::Skip) return true;
    const Keys& keys = *KeysOf(node);
    if ((seen & keys.required) != keys.required) {
      for (std::size_t i = 0; i < keys.names.size(); ++i) {
        if ((keys.required & (1u << i)) && !(seen & (1u << i)))
          Problem(Path(stack_.size()), "no " + Quoted(keys.names[i]));
      }
    }
    if (node == Node::Click) EndClick(seen);
    if (node == Node::Figure) EndFigure();
    return true;
  }

  bool EndArray(rapidjson::SizeType) {
    const Frame frame = std::move(stack_.back());
    stack_.pop_back();
    const auto need = [&](int count, const char* what) {
      if (frame.count != count) {
        Problem(Path(stack_.size()), std::to_string(count) + " " + what + " are needed, not " +
                                         std::to_string(frame.count));
      }
    };
    if (frame.node == Node::Row) need(kColumnCount, "clicks");
    if (frame.node == Node::Bolts) need(3, "bolts");
    return true;
  }

  // Only the figure at figures[index] is read, out of a larger document
  // whose own keys among the figure's are `otherKeys`.
  void ExpectFigureAt(std::size_t index, std::span<const std::string_view> otherKeys) {
    stack_.clear();
    Push(Node::Top, false);
    stack_.back().key = "figures";
    Push(Node::Figures, true);
    stack_.back().count = static_cast<int>(index);
    otherKeys_ = otherKeys;
  }

  // Whether reading stopped at a list or object nested deeper than a
  // document goes.
  bool TooDeep() const { return tooDeep_; }

  // After the whole document: no name may be given twice.
  void Finish() {
    std::unordered_map<std::string, std::size_t> seen;
    seen.reserve(names_.size());
    for (std::size_t i = 0; i < names_.size(); ++i) {
      const auto [at, added] = seen.emplace(names_[i].bytes, names_[i].index);
      if (!added) {
        Problem("figures[" + std::to_string(names_[i].index) + "]",
                "the name " + Quoted(DecodeCp1252(WithoutPadding(names_[i].bytes))) +
                    " is given twice (also figures[" + std::to_string(at->second) + "])");
      }
    }
  }

 private:
  struct Frame {
    Node node = Node::Skip;
    bool array = false;
    int count = 0;    // list: elements begun so far
    std::string key;  // object: the key of the member being read
    int keyIndex = -1;
    bool skipValue = false;
    std::uint32_t seen = 0;
  };
  struct StoredName {
    std::string bytes;  // the 30 bytes a record stores
    std::size_t index;  // figures[index]
  };

  void Problem(const std::string& where, const std::string& what) {
    ++figureProblems_;
    if (result_.problems.size() >= kMaxProblems) {
      ++result_.unlisted;
      return;
    }
    result_.problems.push_back((where.empty() ? "the document" : where) + ": " + what);
  }

  // The path of the member or element being read in the first `depth`
  // frames, e.g. "figures[3].dial.attack[5]", and inside a row the click
  // as the window names it, counted from 1: "... (Attack, click 6)".
  std::string Path(std::size_t depth) const {
    std::string path, click;
    for (std::size_t i = 0; i < depth; ++i) {
      const Frame& frame = stack_[i];
      if (frame.array) {
        path += "[" + std::to_string(frame.count - 1) + "]";
        if (frame.node == Node::Row) {
          click = " (" + std::string(StatRowName(kStatRows[static_cast<std::size_t>(row_)])) +
                  ", click " + std::to_string(frame.count) + ")";
        }
      } else {
        if (!path.empty()) path += '.';
        path += frame.key;
      }
    }
    return path + click;
  }

  void Push(Node node, bool array) {
    Frame& frame = stack_.emplace_back();
    frame.node = node;
    frame.array = array;
  }

  // A value of the wrong kind: said once, and its content passed over.
  Node Wrong(const Value& v, const std::string& want) {
    Problem(Path(stack_.size()), "must be " + want + ", not " + KindText(v.kind));
    return Node::Skip;
  }

  // A 16-bit number, as a record holds it.
  std::optional<std::int16_t> Int16(const Value& v) {
    if (v.kind != Value::Integer && v.kind != Value::BigInteger) {
      Wrong(v, "a whole number");
      return std::nullopt;
    }
    if (v.kind == Value::Integer && v.integer >= INT16_MIN && v.integer <= INT16_MAX)
      return static_cast<std::int16_t>(v.integer);
    Problem(Path(stack_.size()),
            (v.kind == Value::Integer ? std::to_string(v.integer) : std::string(v.text)) +
                " does not fit in a record (values go from -32768 to 32767)");
    return std::nullopt;
  }

  // A list entry by its text, or its position as a number.
  template <typename List, typename TextOf>
  void Position(const Value& v, std::int16_t& field, const List& list, TextOf textOf,
                const char* what) {
    if (v.kind == Value::String) {
      for (std::size_t i = 0; i < list.size(); ++i) {
        if (textOf(list[i]) == v.text) {
          field = static_cast<std::int16_t>(i);
          return;
        }
      }
      Problem(Path(stack_.size()), std::string("unknown ") + what + " " + Quoted(v.text));
    } else if (v.kind == Value::Integer || v.kind == Value::BigInteger) {
      if (const auto n = Int16(v)) field = *n;
    } else {
      Wrong(v, std::string("a ") + what + " or a number");
    }
  }

  // Every value comes here. A list or an object always gets a frame of its
  // own (Skip when its content is passed over), whatever its place made of
  // it, so that its members and its end never land on another's frame.
  bool Take(const Value& v) {
    if (v.Container() && stack_.size() >= kMaxDepth) {
      tooDeep_ = true;
      return false;  // ends the reading here
    }
    const Node node = Accept(v);
    if (v.Container()) {
      const bool array = v.kind == Value::Array;
      Push(node == Node::Skip || IsList(node) == array ? node : Node::Skip, array);
    }
    return true;
  }

  // What the value means at its place; for a list or an object, the node
  // its content is read as.
  Node Accept(const Value& v) {
    if (stack_.empty()) return v.kind == Value::Object ? Node::Top : Wrong(v, "an object");
    Frame& parent = stack_.back();
    if (parent.array) ++parent.count;
    if (parent.node == Node::Skip || parent.skipValue) return Node::Skip;
    switch (parent.node) {
      case Node::Top:
        return TopMember(parent.keyIndex, v);
      case Node::Figures:
        if (v.kind != Value::Object) return Wrong(v, "a figure (an object)");
        figure_ = FigureRecord{};
        nameBytes_.clear();
        figureProblems_ = 0;
        return Node::Figure;
      case Node::Figure:
        return FigureMember(parent.keyIndex, v);
      case Node::NameBytes:
        if (v.kind != Value::String) return Wrong(v, "30 bytes as hex digits (a text)");
        if (!ReadHex(v.text, nameBytes_) || nameBytes_.size() != kNameLength) {
          nameBytes_.clear();
          Problem(Path(stack_.size()), "must be 30 bytes, each as two hex digits");
        }
        return Node::Skip;
      case Node::Bolts: {
        const int k = parent.count - 1;
        if (k >= 3) return Node::Skip;  // counted at the end of the list
        if (v.kind == Value::Bool) {
          figure_.Bolt[k] = v.flag ? 1 : 0;
        } else if (v.kind != Value::Integer && v.kind != Value::BigInteger) {
          return Wrong(v, "true, false or a number");
        } else if (const auto n = Int16(v)) {
          figure_.Bolt[k] = *n;
        }
        return Node::Skip;
      }
      case Node::Dial:
        if (v.kind != Value::Array) return Wrong(v, "a list of 11 clicks");
        row_ = parent.keyIndex;
        return Node::Row;
      case Node::Row:
        click_ = ClickParts{};
        if (v.kind == Value::Object) return Node::Click;
        if (v.kind != Value::String || v.text != "KO")
          return Wrong(v, "\"KO\" or a click (an object)");
        Store(parent.count - 1, 0, kKOCode);
        return Node::Skip;
      case Node::Click:
        return ClickMember(parent.keyIndex, v);
      case Node::Bits: {
        std::string bytes;
        if (v.kind != Value::String) return Wrong(v, "16 hex digits (a text)");
        if (!ReadHex(v.text, bytes) || bytes.size() != 8) {
          Problem(Path(stack_.size()), "must be 16 hex digits");
          return Node::Skip;
        }
        std::uint64_t bits = 0;
        for (char b : bytes)
          bits = (bits << 8) | static_cast<unsigned char>(b);
        click_.colour = std::bit_cast<double>(bits);
        click_.colourText = "bits " + Shortened(v.text);
        return Node::Skip;
      }
      case Node::Skip:
        break;
    }
    return Node::Skip;
  }

  Node TopMember(int key, const Value& v) {
    switch (key) {
      case kFormat:
        if (v.kind != Value::String) return Wrong(v, Quoted(kFigureFormat));
        if (v.text != kFigureFormat)
          Problem(Path(stack_.size()),
                  "must be " + Quoted(kFigureFormat) + ", not " + Quoted(v.text));
        return Node::Skip;
      case kVersion:
        if (v.kind != Value::Integer) return Wrong(v, "1");
        if (v.integer != kFigureFormatVersion) {
          Problem(Path(stack_.size()), "version " + std::to_string(v.integer) +
                                           " is not known here: this program reads version 1");
        }
        return Node::Skip;
      default:  // kFigures
        if (v.kind != Value::Array) return Wrong(v, "a list of figures");
        return Node::Figures;
    }
  }

  Node FigureMember(int key, const Value& v) {
    switch (key) {
      case kName:
        if (v.kind == Value::Object) return Node::NameBytes;
        if (v.kind != Value::String) {
          return Wrong(v, "a text, or {\"bytes\": ...}");
        } else if (const std::string misfit = FirstMisfitCp1252(v.text); !misfit.empty()) {
          Problem(Path(stack_.size()), "the name " + Quoted(v.text) + " holds the character " +
                                           Quoted(misfit) + ", which a data file cannot store");
        } else if (const std::string bytes = EncodeCp1252(v.text); bytes.size() > kNameLength) {
          Problem(Path(stack_.size()), "the name " + Quoted(v.text) + " has " +
                                           std::to_string(bytes.size()) +
                                           " characters; a data file holds 30");
        } else {
          nameBytes_ = bytes;
          nameBytes_.resize(kNameLength, ' ');
        }
        return Node::Skip;
      case kMove:
        Position(
            v, figure_.MoveIndex, kMovements, [](std::string_view m) { return m; }, "movement");
        return Node::Skip;
      case kTeam:
        Position(
            v, figure_.TeamIndex, kTeams, [](const TeamEntry& t) { return t.name; }, "team");
        return Node::Skip;
      case kRank:
        Position(
            v, figure_.RankIndex, kRanks, [](const RankEntry& e) { return e.caption; }, "rank");
        return Node::Skip;
      case kRange:
        if (const auto n = Int16(v)) figure_.Range = *n;
        return Node::Skip;
      case kBolts:
        if (v.kind != Value::Array) return Wrong(v, "a list of three bolts");
        return Node::Bolts;
      case kDial:
        if (v.kind != Value::Object) return Wrong(v, "an object of four rows");
        return Node::Dial;
      default:  // points: written for reading, ignored
        if (v.kind != Value::Integer && v.kind != Value::BigInteger && v.kind != Value::Fraction &&
            v.kind != Value::Null)
          return Wrong(v, "a number or null");
        return Node::Skip;
    }
  }

  Node ClickMember(int key, const Value& v) {
    switch (key) {
      case kValue:
        if (const auto n = Int16(v)) click_.value = *n;
        return Node::Skip;
      case kColour:
        if (v.kind == Value::Object) {
          click_.colour = 0;
          return Node::Bits;
        }
        if (v.kind != Value::String) return Wrong(v, "a colour name, or {\"bits\": ...}");
        if (const int colour = ColourPosition(v.text); colour >= 0) {
          click_.colour = kColours[colour].code;
        } else {
          click_.unknown = true;
          Problem(Path(stack_.size() - 1), "unknown colour " + Quoted(v.text));
        }
        click_.colourText = Quoted(v.text);
        return Node::Skip;
      default:
        if (v.kind != Value::String) return Wrong(v, "a power name");
        click_.power = v.text;
        return Node::Skip;
    }
  }

  void EndClick(std::uint32_t seen) {
    const auto where = [&] { return Path(stack_.size()); };
    const bool hasColour = seen & (1u << kColour), hasPower = seen & (1u << kPower);
    const StatRow row = kStatRows[static_cast<std::size_t>(row_)];
    if (!hasColour && !hasPower) {
      Problem(where(), "no \"colour\" and no \"power\"");
    } else if (hasPower) {
      // Most often the colour's own power: one comparison.
      const int priced = hasColour ? ColourPositionFromCode(click_.colour) : -1;
      int byPower = priced >= 0 && PowerName(row, priced) == click_.power ? priced : -1;
      for (int c = 0; c < kColourCount && byPower < 0; ++c) {
        if (PowerName(row, c) == click_.power) byPower = c;
      }
      if (byPower < 0) {
        Problem(where(), "unknown power " + Quoted(click_.power) + " on the " +
                             std::string(StatRowName(row)) + " row");
      } else if (!hasColour) {
        click_.colour = kColours[byPower].code;
      } else if (!click_.unknown && ColourPositionFromCode(click_.colour) != byPower) {
        const int priced = ColourPositionFromCode(click_.colour);
        Problem(where(), "the colour " + click_.colourText +
                             (priced >= 0 ? " means " + Quoted(PowerName(row, priced))
                                          : std::string(" means no power")) +
                             " on the " + std::string(StatRowName(row)) + " row, not " +
                             Quoted(click_.power));
      }
    }
    if (!hasColour) click_.colourText.clear();
    Store(stack_.back().count - 1, click_.value, click_.colour);
  }

  void Store(int column, std::int16_t value, double colour) {
    if (column >= kColumnCount) return;  // counted at the end of the list
    FigureRecord::Row& cells = figure_.Rows[static_cast<std::size_t>(row_)];
    cells.Value[static_cast<std::size_t>(column)] = value;
    cells.Colour[static_cast<std::size_t>(column)] = colour;
  }

  void EndFigure() {
    if (figureProblems_ != 0 || nameBytes_.size() != kNameLength) return;
    figure_.Deleted = 0;
    figure_.Name = DecodeCp1252(nameBytes_);
    result_.figures.push_back(std::move(figure_));
    names_.push_back({nameBytes_, static_cast<std::size_t>(stack_.back().count - 1)});
  }

  struct ClickParts {
    std::int16_t value = 0;
    double colour = 0;
    std::string colourText;  // as given, quoted, for messages
    std::string power;
    bool unknown = false;
  };

  FigureText& result_;
  std::vector<Frame> stack_;
  FigureRecord figure_;
  std::string nameBytes_;
  std::int64_t figureProblems_ = 0;
  int row_ = 0;
  ClickParts click_;
  std::vector<StoredName> names_;
  std::span<const std::string_view> otherKeys_;

  bool tooDeep_ = false;
};

}  // namespace

bool ReadFigureValue(const rapidjson::Value& value, std::size_t index,
                     std::span<const std::string_view> otherKeys, FigureText& into) {
  const std::size_t before = into.figures.size();
  FigureHandler handler(into);
  handler.ExpectFigureAt(index, otherKeys);
  value.Accept(handler);
  return into.figures.size() > before;
}

const char* JsonKindText(const rapidjson::Value& value) {
  switch (value.GetType()) {
    case rapidjson::kNullType:
      return KindText(Value::Null);
    case rapidjson::kFalseType:
    case rapidjson::kTrueType:
      return KindText(Value::Bool);
    case rapidjson::kObjectType:
      return KindText(Value::Object);
    case rapidjson::kArrayType:
      return KindText(Value::Array);
    case rapidjson::kStringType:
      return KindText(Value::String);
    case rapidjson::kNumberType:
      break;
  }
  return KindText(value.IsDouble() ? Value::Fraction : Value::Integer);
}

FigureText ReadFigureText(std::string_view text) {
  FigureText result;
  if (const std::string kind = NonJsonKind(text); !kind.empty()) {
    result.problems.push_back("the document is " + kind +
                              ", not a figures document (the JSON text zandorik export writes)");
    return result;
  }
  std::size_t skipped = 0;
  if (text.starts_with("\xEF\xBB\xBF")) skipped = 3;
  rapidjson::MemoryStream stream(text.data() + skipped, text.size() - skipped);
  FigureHandler handler(result);
  rapidjson::Reader reader;
  constexpr unsigned kFlags =
      rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag;
  const rapidjson::ParseResult parsed = reader.Parse<kFlags>(stream, handler);
  if (parsed.IsError()) {
    const auto [line, column] = LineAndColumn(text, parsed.Offset() + skipped);
    std::string problem =
        "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
        (handler.TooDeep() ? "lists and objects are nested deeper than a figures document goes (" +
                                 std::to_string(kMaxDepth) + " levels)"
                           : std::string(rapidjson::GetParseError_En(parsed.Code())));
    if (result.problems.size() < kMaxProblems) {
      result.problems.push_back(std::move(problem));
    } else {
      ++result.unlisted;
    }
  } else {
    handler.Finish();
  }
  if (!result.problems.empty()) result.figures.clear();
  return result;
}

}  // namespace zandorik
