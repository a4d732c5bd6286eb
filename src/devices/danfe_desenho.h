// The DANFE NFC-e drawn for a receipt roll: the blocks of danfe_blocos.h
// (what the receipt says, shared with the ESC/POS receipt) drawn with
// cairo, in the layout of danfe_layout.h. Text is laid out with pango
// (UTF-8, accents, wrapped to the paper width); the page is as tall as its
// content. Output: a PDF (vector text) and a PNG preview at the layout's
// resolution.
#pragma once

#include <string>

#include "devices/danfe_blocos.h"
#include "devices/danfe_dados.h"
#include "devices/danfe_layout.h"

namespace fvn {

// Draws the receipt into `pdf` and, when not empty, `png`. `resumido`
// leaves the item lines out. 1 on success; 0 with `erro` set. Returns the
// page height through `altura_mm` when given.
int desenha_danfe(const DanfeNfce& danfe, bool resumido, const LayoutDanfe& layout, const std::string& pdf,
                  const std::string& png, std::string& erro, double* altura_mm = nullptr);

}  // namespace fvn
