#include "program/output.h"

#include <cerrno>
#include <cstring>

#include "program/exit_status.h"

namespace zandorik {

int FinishOutput(std::FILE* out, std::FILE* err, std::string_view who, int status,
                 std::string_view done) {
  if (std::fflush(out) == 0 && !std::ferror(out)) return status;
  const int number = errno != 0 ? errno : EIO;
  std::fprintf(err, "%.*s: cannot write the output: %s%s%.*s\n", static_cast<int>(who.size()),
               who.data(), std::strerror(number), done.empty() ? "" : "; ",
               static_cast<int>(done.size()), done.data());
  return kExitWriteFailed;
}

char* EscapeControl(unsigned c, char* to) {
  static constexpr char kHex[] = "0123456789abcdef";
  *to++ = '\\';
  switch (c) {
    case '\b':
      *to++ = 'b';
      return to;
    case '\t':
      *to++ = 't';
      return to;
    case '\n':
      *to++ = 'n';
      return to;
    case '\f':
      *to++ = 'f';
      return to;
    case '\r':
      *to++ = 'r';
      return to;
    default:
      *to++ = 'u';
      *to++ = '0';
      *to++ = '0';
      *to++ = kHex[(c >> 4) & 0xF];
      *to++ = kHex[c & 0xF];
      return to;
  }
}

std::string VisibleText(std::string_view text) {
  std::string visible;
  char escape[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      visible.append(escape, EscapeControl(c, escape));
    } else if (c == 0xC2 && i + 1 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80) {
      visible.append(escape, EscapeControl(static_cast<unsigned char>(text[++i]), escape));
    } else {
      visible += static_cast<char>(c);
    }
  }
  return visible;
}

}  // namespace zandorik
