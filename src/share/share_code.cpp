// The compact form is a model of the record written bit by bit, not zlib's
// deflate: measured on the six figures of examples/figures.QMV, raw deflate
// of the 486 bytes takes 77 to 125 bytes, 64 to 99 with a preset dictionary
// of a typical record and the colour codes, while this model takes 16 to 30
// (codes of 36 to 57 characters, against 106 to 159 with deflate). Deflate
// cannot see that a colour is one of twelve codes or that a dial's values
// fall by one from click to click; the model says so in a bit or two.
#include "share/share_code.h"

#include <zlib.h>

#include <array>
#include <bit>
#include <unordered_map>
#include <vector>

#include "share/base45.h"
#include "store/cp1252.h"

namespace zandorik {
namespace {

// Bits, most significant first.
class BitWriter {
 public:
  void Put(std::uint64_t value, int bits) {
    if (bits > 32) {
      Put(value >> 32, bits - 32);
      bits = 32;
    }
    // At most 7 bits wait in `waiting_` between calls.
    waiting_ = (waiting_ << bits) | (value & ((std::uint64_t{1} << bits) - 1));
    count_ += bits;
    used_ += static_cast<std::size_t>(bits);
    for (; count_ >= 8; count_ -= 8)
      bytes_.push_back(static_cast<std::uint8_t>(waiting_ >> (count_ - 8)));
  }
  std::size_t Bits() const { return used_; }
  // The bytes, the last one filled up with zero bits. Nothing more may be
  // put after.
  std::vector<std::uint8_t>& Bytes() {
    if (count_ > 0) bytes_.push_back(static_cast<std::uint8_t>(waiting_ << (8 - count_)));
    count_ = 0;
    return bytes_;
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t waiting_ = 0;
  int count_ = 0;
  std::size_t used_ = 0;
};

// Reading past the end gives zero bits and marks the reader as overrun.
class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t Get(int bits) {
    std::uint64_t value = 0;
    for (int i = 0; i < bits; ++i) {
      value <<= 1;
      if (at_ / 8 >= bytes_.size()) {
        overrun_ = true;
        continue;
      }
      value |= (bytes_[at_ / 8] >> (7 - at_ % 8)) & 1;
      ++at_;
    }
    return value;
  }
  bool Bit() { return Get(1) != 0; }
  // Whole, and nothing but zero padding left: at most the rest of the
  // byte and one byte more.
  bool EndsWell() const {
    if (overrun_ || bytes_.size() * 8 - at_ >= 16) return false;
    for (std::size_t i = at_; i < bytes_.size() * 8; ++i)
      if ((bytes_[i / 8] >> (7 - i % 8)) & 1) return false;
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  bool overrun_ = false;
};

constexpr std::size_t kChecksumBytes = 4;
// The first value of each row is written as its difference to these.
constexpr std::array<int, kStatRowCount> kRowStart = {8, 10, 16, 3};
// Name characters in six bits; 63 is followed by the byte itself.
constexpr std::string_view kNameCharacters =
    " abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kNameEscape = 63;
constexpr int kRawColour = 15;

std::uint64_t Bits(double code) {
  return std::bit_cast<std::uint64_t>(code);
}

// A 16-bit field in `bits` bits when it is from 0 to 2^bits - 2; else all
// ones and its 16 bits.
void PutSmall(BitWriter& out, std::int16_t value, int bits) {
  const int escape = (1 << bits) - 1;
  if (value >= 0 && value < escape) {
    out.Put(static_cast<std::uint64_t>(value), bits);
  } else {
    out.Put(static_cast<std::uint64_t>(escape), bits);
    out.Put(static_cast<std::uint16_t>(value), 16);
  }
}

std::int16_t GetSmall(BitReader& in, int bits) {
  const auto value = static_cast<int>(in.Get(bits));
  if (value < (1 << bits) - 1) return static_cast<std::int16_t>(value);
  return static_cast<std::int16_t>(in.Get(16));
}

// A value as its difference to the one before: 0 in one bit, -1 in two,
// +1 -2 +2 -3 in five, then eight and thirteen bits; any other value as
// "11111" and its own 16 bits.
void PutValue(BitWriter& out, std::int16_t value, int before) {
  const int d = value - before;
  const unsigned z = d >= 0 ? 2u * static_cast<unsigned>(d) : 2u * static_cast<unsigned>(-d) - 1;
  if (z == 0) {
    out.Put(0b0, 1);
  } else if (z == 1) {
    out.Put(0b10, 2);
  } else if (z < 6) {
    out.Put(0b110, 3), out.Put(z - 2, 2);
  } else if (z < 22) {
    out.Put(0b1110, 4), out.Put(z - 6, 4);
  } else if (z < 278) {
    out.Put(0b11110, 5), out.Put(z - 22, 8);
  } else {
    out.Put(0b11111, 5), out.Put(static_cast<std::uint16_t>(value), 16);
  }
}

std::int16_t GetValue(BitReader& in, int before) {
  int ones = 0;
  while (ones < 5 && in.Bit())
    ++ones;
  unsigned z = 0;
  switch (ones) {
    case 0:
      z = 0;
      break;
    case 1:
      z = 1;
      break;
    case 2:
      z = 2 + static_cast<unsigned>(in.Get(2));
      break;
    case 3:
      z = 6 + static_cast<unsigned>(in.Get(4));
      break;
    case 4:
      z = 22 + static_cast<unsigned>(in.Get(8));
      break;
    default:
      return static_cast<std::int16_t>(in.Get(16));
  }
  const int d = z % 2 == 0 ? static_cast<int>(z / 2) : -static_cast<int>((z + 1) / 2);
  return static_cast<std::int16_t>(before + d);
}

// A colour: "0" white, "10" the colour of the square to its left, "110"
// KO, "111" and its list position in four bits, or "111 1111" and its
// 64 bits.
void PutColour(BitWriter& out, double colour, std::uint64_t left) {
  const std::uint64_t bits = Bits(colour);
  if (bits == Bits(kWhiteCode)) return out.Put(0b0, 1);
  if (bits == left) return out.Put(0b10, 2);
  if (bits == Bits(kKOCode)) return out.Put(0b110, 3);
  out.Put(0b111, 3);
  for (int p = 0; p < kColourCount; ++p)
    if (Bits(kColours[p].code) == bits) return out.Put(static_cast<std::uint64_t>(p), 4);
  out.Put(kRawColour, 4);
  out.Put(bits, 64);
}

bool GetColour(BitReader& in, std::uint64_t left, double& colour) {
  std::uint64_t bits = Bits(kWhiteCode);
  if (in.Bit()) {
    bits = left;
    if (in.Bit()) {
      bits = Bits(kKOCode);
      if (in.Bit()) {
        const auto p = static_cast<int>(in.Get(4));
        if (p == kRawColour) {
          bits = in.Get(64);
        } else if (p < kColourCount) {
          bits = Bits(kColours[p].code);
        } else {
          return false;
        }
      }
    }
  }
  colour = std::bit_cast<double>(bits);
  return true;
}

bool IsPlainKO(const FigureRecord& r, int column) {
  for (const FigureRecord::Row& row : r.Rows)
    if (Bits(row.Colour[column]) != Bits(kKOCode) || row.Value[column] != 0) return false;
  return true;
}

// The model of a record, after its "0" bit.
void PutModel(BitWriter& out, const FigureRecord& r, std::string_view name) {
  if (r.Deleted == 0) {
    out.Put(0, 1);
  } else {
    out.Put(1, 1), out.Put(static_cast<std::uint16_t>(r.Deleted), 16);
  }
  std::size_t length = kNameLength;
  while (length > 0 && name[length - 1] == ' ')
    --length;
  out.Put(length, 5);
  for (std::size_t i = 0; i < length; ++i) {
    const std::size_t c = kNameCharacters.find(name[i]);
    if (c != std::string_view::npos) {
      out.Put(c, 6);
    } else {
      out.Put(kNameEscape, 6), out.Put(static_cast<std::uint8_t>(name[i]), 8);
    }
  }
  PutSmall(out, r.MoveIndex, 2);
  PutSmall(out, r.TeamIndex, 5);
  if (r.Range >= 0 && r.Range <= 14 && r.Range % 2 == 0) {
    out.Put(0, 1), out.Put(static_cast<std::uint64_t>(r.Range / 2), 3);
  } else {
    out.Put(1, 1), out.Put(static_cast<std::uint16_t>(r.Range), 16);
  }
  if (r.Bolt[0] >= 0 && r.Bolt[0] <= 1 && r.Bolt[1] >= 0 && r.Bolt[1] <= 1 && r.Bolt[2] >= 0 &&
      r.Bolt[2] <= 1) {
    out.Put(0, 1);
    for (const std::int16_t bolt : r.Bolt)
      out.Put(static_cast<std::uint64_t>(bolt), 1);
  } else {
    out.Put(1, 1);
    for (const std::int16_t bolt : r.Bolt)
      out.Put(static_cast<std::uint16_t>(bolt), 16);
  }
  PutSmall(out, r.RankIndex, 3);
  // The columns from `live` on are KO of value 0 on every row.
  int live = kColumnCount;
  while (live > 0 && IsPlainKO(r, live - 1))
    --live;
  out.Put(static_cast<std::uint64_t>(live), 4);
  for (int row = 0; row < kStatRowCount; ++row) {
    const FigureRecord::Row& squares = r.Rows[row];
    for (int column = 0; column < live; ++column) {
      PutColour(out, squares.Colour[column],
                column == 0 ? Bits(kWhiteCode) : Bits(squares.Colour[column - 1]));
      PutValue(out, squares.Value[column],
               column == 0 ? kRowStart[row] : squares.Value[column - 1]);
    }
  }
}

bool GetModel(BitReader& in, FigureRecord& r) {
  r.Deleted = in.Bit() ? static_cast<std::int16_t>(in.Get(16)) : 0;
  const auto length = static_cast<std::size_t>(in.Get(5));
  if (length > kNameLength) return false;
  std::string name(kNameLength, ' ');
  for (std::size_t i = 0; i < length; ++i) {
    const auto c = static_cast<int>(in.Get(6));
    name[i] = c == kNameEscape ? static_cast<char>(in.Get(8)) : kNameCharacters[c];
  }
  r.Name = DecodeCp1252(name);
  r.MoveIndex = GetSmall(in, 2);
  r.TeamIndex = GetSmall(in, 5);
  r.Range = static_cast<std::int16_t>(in.Bit() ? in.Get(16) : 2 * in.Get(3));
  const bool rawBolts = in.Bit();
  for (std::int16_t& bolt : r.Bolt)
    bolt = static_cast<std::int16_t>(in.Get(rawBolts ? 16 : 1));
  r.RankIndex = GetSmall(in, 3);
  const auto live = static_cast<int>(in.Get(4));
  if (live > kColumnCount) return false;
  for (int row = 0; row < kStatRowCount; ++row) {
    FigureRecord::Row& squares = r.Rows[row];
    for (int column = 0; column < kColumnCount; ++column) {
      if (column >= live) {
        squares.Colour[column] = kKOCode;
        squares.Value[column] = 0;
        continue;
      }
      if (!GetColour(in, column == 0 ? Bits(kWhiteCode) : Bits(squares.Colour[column - 1]),
                     squares.Colour[column])) {
        return false;
      }
      squares.Value[column] =
          GetValue(in, column == 0 ? kRowStart[row] : squares.Value[column - 1]);
    }
  }
  return true;
}

std::uint32_t Checksum(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint32_t>(
      crc32(crc32(0, nullptr, 0), bytes.data(), static_cast<uInt>(bytes.size())));
}

// The code itself: no blanks around it, and after the tab of a line as
// `zandorik code` prints it. Several lines are no code.
std::string_view CodeText(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  if (text.find_first_of("\r\n") != std::string_view::npos) return {};
  if (const std::size_t tab = text.rfind('\t'); tab != std::string_view::npos)
    text.remove_prefix(tab + 1);
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  return text;
}

bool Refuse(std::string* why, const char* text) {
  if (why) *why = text;
  return false;
}

// A code of a deleted record is no figure.
bool ReadFigureCode(std::string_view text, FigureRecord& record, std::string* why) {
  if (!ReadShareCode(text, record, why)) return false;
  return !record.IsDeleted() || Refuse(why, kNotAFigureCode);
}

class Codes final : public FigureCodes {
 public:
  std::string Code(const FigureRecord& figure) const override { return ShareCode(figure); }
  bool IsCode(std::string_view text) const override { return LooksLikeShareCode(text); }
  bool Mentions(std::string_view text) const override {
    return text.find(kShareCodePrefix) != std::string_view::npos;
  }
  bool Read(std::string_view text, FigureRecord& figure, std::string* why) const override {
    return ReadFigureCode(text, figure, why);
  }
};

}  // namespace

std::string ShareCode(const FigureRecord& record) {
  const RecordBytes bytes = EncodeRecord(record);
  BitWriter model;
  model.Put(0, 1);
  PutModel(model, record,
           std::string_view(reinterpret_cast<const char*>(bytes.data()) + record_offset::kName,
                            kNameLength));
  // A record the model cannot shorten (damage everywhere) goes as it is.
  BitWriter stored;
  if (model.Bits() > 1 + 8 * kRecordLength) {
    stored.Put(1, 1);
    for (const std::uint8_t byte : bytes)
      stored.Put(byte, 8);
  }
  std::vector<std::uint8_t>& payload = stored.Bits() > 0 ? stored.Bytes() : model.Bytes();
  // An odd number of bytes in all ends the code on a digit from 0 to 5 (a
  // last byte's second character), never on a blank that a chat would trim.
  if ((payload.size() + kChecksumBytes) % 2 == 0) payload.push_back(0);
  const std::uint32_t crc = Checksum(payload);
  for (int i = 0; i < 4; ++i)
    payload.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
  std::string code(kShareCodePrefix);
  AppendBase45(payload, code);
  return code;
}

bool LooksLikeShareCode(std::string_view text) {
  return CodeText(text).starts_with(kShareCodePrefix);
}

bool ReadShareCode(std::string_view text, FigureRecord& record, std::string* why) {
  text = CodeText(text);
  if (!text.starts_with(kShareCodePrefix)) return Refuse(why, kNotAFigureCode);
  std::vector<std::uint8_t> bytes;
  if (!ReadBase45(text.substr(kShareCodePrefix.size()), bytes) || bytes.size() <= kChecksumBytes)
    return Refuse(why, kCodeDamaged);
  const std::size_t size = bytes.size() - kChecksumBytes;
  std::uint32_t crc = 0;
  for (std::size_t i = 0; i < kChecksumBytes; ++i)
    crc |= static_cast<std::uint32_t>(bytes[size + i]) << (8 * i);
  const std::span<const std::uint8_t> payload(bytes.data(), size);
  if (Checksum(payload) != crc) return Refuse(why, kCodeDamaged);
  BitReader in(payload);
  if (in.Bit()) {
    RecordBytes stored;
    for (std::uint8_t& byte : stored)
      byte = static_cast<std::uint8_t>(in.Get(8));
    if (!in.EndsWell()) return Refuse(why, kNotAFigureCode);
    record = DecodeRecord(stored.data());
    return true;
  }
  FigureRecord read;
  if (!GetModel(in, read) || !in.EndsWell()) return Refuse(why, kNotAFigureCode);
  record = std::move(read);
  return true;
}

FigureText ReadFigureCodes(std::span<const std::string> codes) {
  FigureText text;
  std::unordered_map<std::string, std::size_t> names;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const std::string where = "code " + std::to_string(i + 1) + ": ";
    FigureRecord figure;
    std::string why;
    if (!ReadFigureCode(codes[i], figure, &why)) {
      text.problems.push_back(where + why);
      continue;
    }
    const auto [at, added] = names.emplace(EncodeCp1252(FitName(figure.Name)), i);
    if (!added) {
      text.problems.push_back(where + "the name \"" + ShownName(figure) +
                              "\" is given twice (also code " + std::to_string(at->second + 1) +
                              ")");
      continue;
    }
    text.figures.push_back(std::move(figure));
  }
  if (text.problems.size() > kMaxProblems) {
    text.unlisted = static_cast<std::int64_t>(text.problems.size() - kMaxProblems);
    text.problems.resize(kMaxProblems);
  }
  return text;
}

const FigureCodes& ShareCodes() {
  static const Codes codes;
  return codes;
}

}  // namespace zandorik
