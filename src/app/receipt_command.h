// `fvn receipt SALE_ID [--pdf FILE] [--png FILE] [--escpos FILE|DEVICE
//  [--columns 48|32] [--qr-raster]] [--print] [--resumido]`:
// the consumer receipt (DANFE NFC-e) of a recorded sale, drawn from the
// database with the layout "DANFE-NFCE_PADRAO.rep" of the working folder.
// --pdf and --png write the receipt and its preview image; --print sends it
// to the layout's printer or the default one; --resumido leaves the item
// lines out. --escpos writes the receipt as ESC/POS commands to a file, a
// device node or cups:QUEUE (a raw print queue), for 48 or 32 columns, the
// QR code with the printer's command or, with --qr-raster, as an image.
// --print follows the [station] receipt settings (PDF through CUPS, or
// ESC/POS to receipt_device). Without --pdf, --png, --escpos or --print it writes
// <working folder>/danfe-SALE_ID.pdf. Prints the path of every file
// written (and "impresso: PRINTER JOB" after a print), or with --json one
// object {"venda", "pdf", "png", "escpos", "impressora", "trabalho"}. Exit 1 with the
// module's message when the sale cannot be read, drawn or printed.
#pragma once

#include <string>
#include <vector>

#include "app/fvn_cli.h"
#include "devices/danfe_escpos.h"

namespace fvn::app {

// The receipt's options, shared by the commands that render one.
struct ReceiptOptions {
  std::string pdf;
  std::string png;
  std::string escpos;
  int columns = 48;
  bool qr_raster = false;
  bool print = false;
  bool resumido = false;
};

// Reads --pdf FILE, --png FILE, --escpos TARGET, --columns 48|32,
// --qr-raster, --print and --resumido; the one other
// argument goes to `positional`. False on a usage error (an unknown option,
// a file name missing or starting with "--", no or two other arguments).
bool parse_receipt_options(const std::vector<std::string>& args, ReceiptOptions& o, std::string& positional);

// The ESC/POS options of --columns and --qr-raster.
OpcoesEscPos escpos_options(const ReceiptOptions& o);

Command receipt_command();

}  // namespace fvn::app
