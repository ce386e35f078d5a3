// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/print_one_custom_xml.h"

#include <cctype>

namespace orv {

PrintTarget PrintTargetOf(const std::string& output) {
  if (output.empty()) return PrintTarget::Preview();
  std::string ext = output.size() < 4 ? std::string() : output.substr(output.size() - 4);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".pdf") return PrintTarget::Pdf(output);
  return PrintTarget::Printer(output);
}

int PrintOneCustomXml(const std::string& dataPath, const std::string& output, const std::string& templatePath,
                      std::int32_t, std::int32_t, std::int32_t, const std::string&, char) {
  return PrintDocumentFile(dataPath, PrintTargetOf(output), templatePath).code();
}

int PrintDocumentText(const std::string& documentText, const std::string& output,
                      const std::string& templatePath) {
  // The template first, as for a file: its problems are heard of before the
  // document's.
  const Result<PrintTemplate> tpl = ReadPrintTemplate(templatePath);
  if (!tpl) return tpl.code();
  const Result<PrintData> data = ParsePrintData(documentText);
  if (!data) return kDocumentUnreadable;
  return PrintPages(*data, *tpl, PrintTargetOf(output)).code();
}

}  // namespace orv
