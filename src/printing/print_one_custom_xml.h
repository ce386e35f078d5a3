// Orvandel's print library. PrintOneCustomXml takes a print data document
// file (tmp.xml) and a layout template, PrintDocumentText the document's text
// in memory, and each prints: to a print preview
// from which the user prints or saves a PDF, straight to a named printer, or
// to a PDF file with no dialog at all.
#pragma once

#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <string>

class QDialog;

namespace orv {

// What PrintOneCustomXml returns.
enum PrintCode : int {
  kPrinted = 0,
  kTemplateMissing = 1,     // the template file does not exist or cannot be read
  kTemplateInvalid = 2,     // the template file is no template, or asks for the impossible
  kDocumentUnreadable = 3,  // the data document does not exist, cannot be read or is no document
  kDocumentDoesNotFit = 4,  // the document is of the other kind or has other lessons a day than the template
  kPrinterError = 5,        // the printer or the PDF file refused the pages
  kPrintCancelled = 6,      // the user closed the preview without printing
};

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

// The same with the document's text itself, so that no file has to be
// written for it; `documentName` names it in messages.
int PrintDocumentText(const std::string& documentText, const std::string& output,
                      const std::string& templatePath, const std::string& documentName = "打印数据");

// The reason behind the last non-zero result, in Chinese; "" after success.
std::string LastPrintProblem();

// What a result code means, in Chinese.
std::string PrintCodeText(int code);

// How the preview runs modally: the runner returns the dialog's result
// (QDialog::Accepted once the user printed). The desktop program routes it
// through its prompter, so tests never block; without one, exec() runs it.
using PreviewRunner = std::function<int(QDialog&)>;

class ScopedPreviewRunner {
 public:
  explicit ScopedPreviewRunner(PreviewRunner runner);
  ~ScopedPreviewRunner();
  ScopedPreviewRunner(const ScopedPreviewRunner&) = delete;
  ScopedPreviewRunner& operator=(const ScopedPreviewRunner&) = delete;

 private:
  PreviewRunner previous_;
};

}  // namespace orv
