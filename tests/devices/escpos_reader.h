// A small ESC/POS reader for tests: plays the commands the receipt uses and
// keeps what a printer would print: the text lines (code page 850 decoded
// with iconv, independently of the writer's table), the QR payloads stored
// with GS ( k, the raster images of GS v 0 (as PBM files, for zbarimg),
// the code page, the cuts and, per line, whether it was in font B. An
// unknown command stops the reading and is reported in `problem`.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <iconv.h>

namespace fvn::testing {

struct EscPosPage {
  std::vector<std::string> lines;
  std::vector<bool> font_b;
  std::vector<std::string> qr_payloads;
  std::vector<std::string> rasters;  // PBM (P4) images
  int code_page = -1;
  int qr_model = 0;
  int qr_correction = 0;
  int cuts = 0;
  bool cut_last = false;  // nothing printed after the last cut
  std::string problem;
};

inline std::string cp850_to_utf8(const std::string& in) {
  iconv_t cd = iconv_open("UTF-8", "CP850");
  std::string out(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  char* dst = out.data();
  std::size_t dst_left = out.size();
  iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  out.resize(out.size() - dst_left);
  return out;
}

inline EscPosPage read_escpos(std::string_view b) {
  EscPosPage page;
  std::string line;
  bool font_b = false;
  const auto byte = [&](std::size_t i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0U; };
  const auto flush = [&] {
    page.lines.push_back(page.code_page == 2 ? cp850_to_utf8(line) : line);
    page.font_b.push_back(font_b);
    line.clear();
    page.cut_last = false;
  };
  std::size_t i = 0;
  while (i < b.size() && page.problem.empty()) {
    const unsigned c = byte(i);
    if (c == 0x0A) {
      flush();
      ++i;
    } else if (c == 0x1B) {
      const unsigned op = byte(i + 1);
      if (op == '@') {
        i += 2;
      } else if (op == 't') {
        page.code_page = static_cast<int>(byte(i + 2));
        i += 3;
      } else if (op == 'M') {
        font_b = byte(i + 2) == 1;
        i += 3;
      } else if (op == 'E' || op == 'a' || op == 'J' || op == 'd') {
        i += 3;
      } else {
        page.problem = "unknown ESC " + std::to_string(op);
      }
    } else if (c == 0x1D) {
      const unsigned op = byte(i + 1);
      if (op == '!') {
        i += 3;
      } else if (op == 'V') {
        ++page.cuts;
        page.cut_last = line.empty();
        i += (byte(i + 2) == 65 || byte(i + 2) == 66) ? 4U : 3U;
      } else if (op == '(' && byte(i + 2) == 'k') {
        const std::size_t n = byte(i + 3) | (byte(i + 4) << 8U);
        const unsigned fn = byte(i + 6);
        if (fn == 65) page.qr_model = static_cast<int>(byte(i + 7)) - 48;
        if (fn == 69) page.qr_correction = static_cast<int>(byte(i + 7));
        if (fn == 80 && n >= 3) page.qr_payloads.emplace_back(b.substr(i + 8, n - 3));
        i += 5 + n;
      } else if (op == 'v' && byte(i + 2) == '0') {
        const std::size_t xbytes = byte(i + 4) | (byte(i + 5) << 8U);
        const std::size_t height = byte(i + 6) | (byte(i + 7) << 8U);
        const std::string_view data = b.substr(i + 8, xbytes * height);
        page.rasters.push_back("P4\n" + std::to_string(xbytes * 8) + " " + std::to_string(height) + "\n" +
                               std::string{data});
        i += 8 + xbytes * height;
      } else {
        page.problem = "unknown GS " + std::to_string(op);
      }
    } else if (c < 0x20) {
      page.problem = "unexpected control byte " + std::to_string(c);
    } else {
      line += static_cast<char>(c);
      ++i;
    }
  }
  if (!line.empty()) flush();
  return page;
}

}  // namespace fvn::testing
