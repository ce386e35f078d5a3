// SPDX-License-Identifier: GPL-3.0-or-later
// Orvandel's print library, typed: print data laid out with a template goes
// to the print preview (from which the user prints or saves a PDF), straight
// to a named printer, or to a PDF file with no dialog at all. Every failure
// is an Outcome whose code is the documented PrintCode and whose message is
// the reason in Chinese.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"
#include "core/output/print_data.h"
#include "core/output/print_template.h"

class QDialog;

namespace orv {

// The codes the print library reports, the same through every entry; the
// file interface (print_one_custom_xml.h) returns them as numbers.
enum PrintCode : int {
  kPrinted = 0,
  kTemplateMissing = 1,     // the template file does not exist or cannot be read
  kTemplateInvalid = 2,     // the template file is no template, or asks for the impossible
  kDocumentUnreadable = 3,  // the data document does not exist, cannot be read or is no document
  kDocumentDoesNotFit = 4,  // the document is of the other kind or has other lessons a day than the template
  kPrinterError = 5,        // the printer or the PDF file refused the pages
  kPrintCancelled = 6,      // the user closed the preview without printing
};

// Where the pages go.
struct PrintTarget {
  enum class Kind { Preview, Printer, Pdf };
  Kind kind = Kind::Preview;
  std::string printer;        // Printer: its name
  std::filesystem::path pdf;  // Pdf: the file, replaced only once the new one is complete
  // What the pages are: the print queue's job title and the PDF's Title,
  // e.g. "育才实验学校 一（1）班 课程表"; the print dialog makes its
  // proposed file name from it. Empty: made from the document's first title.
  std::string documentName;
  std::string author;  // the school: the PDF's Author

  static PrintTarget Preview(std::string documentName = {}) {
    return {Kind::Preview, {}, {}, std::move(documentName), {}};
  }
  static PrintTarget Printer(std::string name) { return {Kind::Printer, std::move(name), {}, {}, {}}; }
  static PrintTarget Pdf(std::filesystem::path path) { return {Kind::Pdf, {}, std::move(path), {}, {}}; }
};

// The same target with the school as the PDF's author.
inline PrintTarget BySchool(PrintTarget target, std::string school) {
  target.author = std::move(school);
  return target;
}

// What every PDF names as the program that made it.
inline constexpr const char* kPdfCreator = "Orvandel排课软件";

// The job title of a printed selection: school, selection and "课程表".
std::string JobTitle(std::string_view school, std::string_view selection);

// `data` laid out with the template at `templatePath` and sent to `target`.
// The template is checked first, so a missing or broken one is what the
// user hears about before anything else. Names too long for their cells even
// at the smallest size are cut; the preview says so above the pages, other
// targets add one sentence naming them to `warnings` (when given).
Outcome PrintPages(const PrintData& data, const PrintTarget& target,
                   const std::filesystem::path& templatePath, std::vector<std::string>* warnings = nullptr);

// The template file read and checked: kTemplateMissing or kTemplateInvalid
// with the reason when it cannot be used.
Result<PrintTemplate> ReadPrintTemplate(const std::filesystem::path& path);
Outcome PrintPages(const PrintData& data, const PrintTemplate& tpl, const PrintTarget& target,
                   std::vector<std::string>* warnings = nullptr);

// A data document read from a file; kDocumentUnreadable with the reason when
// it cannot be read or is no document.
Result<PrintData> ReadPrintDocument(const std::filesystem::path& path);

// The document in the file at `dataPath` printed as PrintPages prints: the
// template is checked before the document is read.
Outcome PrintDocumentFile(const std::filesystem::path& dataPath, const PrintTarget& target,
                          const std::filesystem::path& templatePath,
                          std::vector<std::string>* warnings = nullptr);

// What a code means, in Chinese.
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
