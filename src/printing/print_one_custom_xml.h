// SPDX-License-Identifier: GPL-3.0-or-later
// The print library's file interface: a print data document as text, from a
// file (tmp.xml) or in memory, printed with a layout template. The numbers it
// returns are the PrintCode values of print_pages.h, on which it is built.
#pragma once

#include <cstdint>
#include <string>

#include "printing/print_pages.h"

namespace orv {

// The data document at `dataPath` laid out with the template at
// `templatePath`. `output` says where the pages go:
//   ""              the print preview (the user prints or saves from there);
//   "....pdf"       that PDF file, with no dialog; a file there is replaced
//                   only once the new one is complete;
//   anything else   the printer of that name, with no dialog.
// The four arguments after the template are accepted for the callers that
// pass them (always 0, 0, 0, "" and 'T') and not used.
int PrintOneCustomXml(const std::string& dataPath, const std::string& output, const std::string& templatePath,
                      std::int32_t reserved4, std::int32_t reserved5, std::int32_t reserved6,
                      const std::string& reserved7, char kind);

// The same with the document's text itself. The reasons behind the codes
// come with the typed interface (PrintDocumentFile, PrintPages).
int PrintDocumentText(const std::string& documentText, const std::string& output,
                      const std::string& templatePath);

// The target an `output` argument above names.
PrintTarget PrintTargetOf(const std::string& output);

}  // namespace orv
