// Writes a page of QR codes for bench/share_code.sh: one code a line from
// standard input, laid out on a page of WIDTH x HEIGHT pixels, MODULE
// pixels a module, as a binary PGM.
//   make_code_page OUT.pgm WIDTH HEIGHT MODULE < CODES
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "testing/qr_page.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("Usage: make_code_page OUT.pgm WIDTH HEIGHT MODULE < CODES\n", stderr);
    return 2;
  }
  std::vector<std::string> codes;
  for (std::string line; std::getline(std::cin, line);)
    codes.push_back(line);
  return zandorik::WriteQrPage(argv[1], codes, std::atoi(argv[2]), std::atoi(argv[3]),
                               std::atoi(argv[4]))
             ? 0
             : 1;
}
