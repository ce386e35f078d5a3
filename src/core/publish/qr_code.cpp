// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/publish/qr_code.h"

#include <qrencode.h>

#include <memory>

namespace orv {

std::string QrCodeSvg(std::string_view text) {
  // Byte mode keeps an address exactly as given (case included); level M
  // still reads through a scratch or a reflection on the door's plastic sleeve.
  const std::string data(text);
  std::unique_ptr<QRcode, void (*)(QRcode*)> code(
      QRcode_encodeData(int(data.size()), reinterpret_cast<const unsigned char*>(data.data()), 0,
                        QR_ECLEVEL_M),
      QRcode_free);
  if (!code || data.empty()) return "";
  constexpr int kQuiet = 4;
  const int width = code->width;
  const int size = width + 2 * kQuiet;
  std::string path;
  for (int y = 0; y < width; ++y)
    for (int x = 0; x < width; ++x)
      if (code->data[y * width + x] & 1)  // bit 0: a dark module
        path += "M" + std::to_string(x + kQuiet) + " " + std::to_string(y + kQuiet) + "h1v1h-1z";
  const std::string s = std::to_string(size);
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + s + " " + s +
         "\" shape-rendering=\"crispEdges\" role=\"img\"><rect width=\"" + s + "\" height=\"" + s +
         "\" fill=\"#fff\"/><path fill=\"#000\" d=\"" + path + "\"/></svg>";
}

}  // namespace orv
