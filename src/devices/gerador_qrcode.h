// The QR-code image of a note: the URL the service returned, drawn as a
// monochrome BMP file that the receipt layout picks up.
//
// The code is encoded with libqrencode (byte mode, error correction level M,
// smallest version that fits) and written as a 1-bit BMP with every module
// kModulePixels pixels wide and a quiet zone of kQuietModules modules on each
// side, so a phone camera reads it from paper or a screen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fvn {

// The modules of the QR code of `content` (byte mode, level M, smallest
// version that fits) with a quiet zone of `quiet` modules on each side:
// `side` modules square, row by row from the top.
struct QrModules {
  int side = 0;
  std::vector<std::uint8_t> cells;  // 1 for a dark module
  [[nodiscard]] bool dark(int x, int y) const {
    return cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(side) + static_cast<std::size_t>(x)] != 0;
  }
};

// Nothing when the content cannot be encoded (errno says why).
std::optional<QrModules> qr_modules(std::string_view content, int quiet);

class GERADOR_QRCODE {
 public:
  static constexpr int kModulePixels = 6;
  static constexpr int kQuietModules = 4;
  static constexpr std::size_t kMaxContent = 1000;

  // Writes the image of `content` (up to 1,000 characters) to `path`,
  // replacing the file (through a temporary file renamed over it). 1 on
  // success; 0 with error_text() set.
  int gera(const std::string& path, std::string_view content);

  [[nodiscard]] const std::string& error_text() const { return error_; }

 private:
  int fail(std::string text);
  std::string error_;
};

}  // namespace fvn
