// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/print_pages.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <fstream>
#include <optional>
#include <sstream>

#include "core/files/output_file.h"
#include "core/output/page_layout.h"
#include "printing/page_painter.h"
#include "printing/pdf_text_layer.h"
#include "printing/print_fonts.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

PreviewRunner& Runner() {
  static PreviewRunner runner;
  return runner;
}

Outcome Fail(PrintCode code, std::string why) { return Outcome::Fail(std::move(why), code); }

std::optional<std::string> ReadWhole(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in && !in.eof()) return std::nullopt;
  return text.str();
}

// Searching and copying from a PDF must give the names as printed.
Outcome CorrectText(const std::string& pdf, const PageDocument& doc) {
  return CorrectPdfText(pdf, PdfTextCorrections(PageFonts(doc), PrintedText(doc)));
}

// The title, creator and author every job and PDF carries; Qt writes the
// creation date itself.
void NameJob(QPrinter& printer, const PrintTarget& target) {
  printer.setDocName(QString::fromStdString(target.documentName));
  printer.setCreator(QString::fromUtf8(kPdfCreator));
}

// Qt's PDF writer has no Author, so the school is added to the finished file.
Outcome FinishPdf(const std::string& pdf, const PageDocument& doc, const PrintTarget& target) {
  if (const Outcome text = CorrectText(pdf, doc); !text) return text;
  return SetPdfAuthor(pdf, target.author);
}

Outcome ToPdf(const PageDocument& doc, const PrintTarget& target) {
  const fs::path& output = target.pdf;
  // Written beside and moved over the target only when complete, so a
  // failure never leaves half a file where a good one was.
  OutputFile file;
  if (const Outcome begun = file.Begin(output); !begun) return Fail(kPrinterError, begun.message());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(file.TempPath().string()));
  NameJob(printer, target);
  SetUpPrinter(printer, doc);
  if (const Outcome painted = PaintPages(printer, doc); !painted)
    return Fail(kPrinterError, "无法写入 PDF 文件：" + output.string() + "（" + painted.message() + "）");
  // The text layer is put right on the hidden file, before anyone can see it.
  if (!FinishPdf(file.TempPath().string(), doc, target))
    return Fail(kPrinterError, "无法写入 PDF 文件：" + output.string());
  if (const Outcome committed = file.Commit(); !committed) return Fail(kPrinterError, committed.message());
  return Outcome::Ok();
}

Outcome ToPrinter(const PageDocument& doc, const PrintTarget& target) {
  const std::string& name = target.printer;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPrinterName(QString::fromStdString(name));
  if (!printer.isValid() || printer.printerName() != QString::fromStdString(name))
    return Fail(kPrinterError, "找不到打印机：" + name);
  NameJob(printer, target);
  // The template's paper is asked of the printer; one without it keeps its
  // own and the drawing is shrunk onto that.
  SetUpPrinter(printer, doc);
  if (const Outcome painted = PaintPages(printer, doc); !painted)
    return Fail(kPrinterError, name + "：" + painted.message());
  return Outcome::Ok();
}

Outcome ToPreview(const PageDocument& doc, const PrintTarget& target) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    return Fail(kPrinterError, "打印预览需要桌面程序");
  QPrinter printer(QPrinter::HighResolution);
  SetUpPrinter(printer, doc);
  // Only the name: an output file set here would turn the preview's print
  // button into a PDF export and hide the printers.
  NameJob(printer, target);
  QPrintPreviewDialog preview(&printer);
  preview.setObjectName("dlgPrintPreview");
  preview.setWindowTitle("打印预览");
  // A printer without the template's paper kept its own: the user reads
  // that the print will be smaller before pressing print.
  // So are names cut to fit their cells.
  auto* box = qobject_cast<QBoxLayout*>(preview.layout());
  auto notice = [&](const char* name, const QString& text) {
    if (text.isEmpty() || !box) return;
    auto* label = new QLabel(text, &preview);
    label->setObjectName(name);
    label->setWordWrap(true);
    box->insertWidget(0, label);
  };
  notice("lblCutNotice", QString::fromStdString(CutNamesNotice(doc.cutNames)));
  notice("lblPaperNotice", PaperNotice(printer, doc));
  Outcome painted = Outcome::Ok();
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* p) {
    if (Outcome page = PaintPages(*p, doc); !page) painted = std::move(page);
  });
  const int result = Runner() ? Runner()(preview) : preview.exec();
  if (result != QDialog::Accepted) return Fail(kPrintCancelled, "打印已取消");
  if (!painted) return Fail(kPrinterError, painted.message());
  // Printed from the preview into a PDF file: Qt wrote it straight there.
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
    if (const Outcome text = FinishPdf(printer.outputFileName().toStdString(), doc, target); !text)
      return Fail(kPrinterError, text.message());
  return Outcome::Ok();
}

}  // namespace

std::string JobTitle(std::string_view school, std::string_view selection) {
  std::string title(school);
  for (std::string_view part : {selection, std::string_view("课程表")}) {
    if (part.empty()) continue;
    if (!title.empty()) title += ' ';
    title += part;
  }
  return title;
}

namespace {
// A document printed without a job title is named by its first title line,
// with the blanks left for handwriting closed up.
std::string TitleOf(const PrintData& data) {
  std::string title;
  if (!data.subjects.empty())
    for (char c : data.subjects.front().title)
      if (c != ' ' || (!title.empty() && title.back() != ' ')) title += c;
  while (!title.empty() && title.back() == ' ') title.pop_back();
  return title.empty() ? std::string("课程表") : title;
}
}  // namespace

Outcome PrintPages(const PrintData& data, const PrintTemplate& tpl, const PrintTarget& given,
                   std::vector<std::string>* warnings) {
  PrintTarget target = given;
  if (target.documentName.empty()) target.documentName = TitleOf(data);
  // A document that does not fit the template is refused before anything
  // needs a font or a printer.
  if (const Outcome fits = DocumentFitsTemplate(data, tpl); !fits)
    return Fail(kDocumentDoesNotFit, fits.message());
  if (!QGuiApplication::instance()) return Fail(kPrinterError, "打印需要图形界面库（Qt）的应用程序对象");
  InstallFontSubstitutions();
  const Result<PageDocument> pages = LayOutPages(data, tpl, FontMeasure());
  if (!pages) return Fail(kDocumentDoesNotFit, pages.message());
  // Cut names are told once: in the preview before printing, otherwise
  // to the caller with the result.
  if (target.kind == PrintTarget::Kind::Preview) return ToPreview(*pages, target);
  if (warnings && !pages->cutNames.empty()) warnings->push_back(CutNamesNotice(pages->cutNames));
  return target.kind == PrintTarget::Kind::Printer ? ToPrinter(*pages, target) : ToPdf(*pages, target);
}

Result<PrintTemplate> ReadPrintTemplate(const fs::path& path) {
  const std::optional<std::string> text = ReadWhole(path);
  if (!text) return Fail(kTemplateMissing, "找不到打印模板文件：" + path.string());
  Result<PrintTemplate> tpl = ParsePrintTemplate(*text);
  if (!tpl) return Fail(kTemplateInvalid, path.string() + "：" + tpl.message());
  return tpl;
}

Outcome PrintPages(const PrintData& data, const PrintTarget& target, const fs::path& templatePath,
                   std::vector<std::string>* warnings) {
  const Result<PrintTemplate> tpl = ReadPrintTemplate(templatePath);
  if (!tpl) return tpl.outcome();
  return PrintPages(data, *tpl, target, warnings);
}

Result<PrintData> ReadPrintDocument(const fs::path& path) {
  const std::optional<std::string> text = ReadWhole(path);
  if (!text) return Fail(kDocumentUnreadable, "无法读取打印数据文件：" + path.string());
  Result<PrintData> data = ParsePrintData(*text);
  if (!data) return Fail(kDocumentUnreadable, path.string() + "：" + data.message());
  return data;
}

Outcome PrintDocumentFile(const fs::path& dataPath, const PrintTarget& target, const fs::path& templatePath,
                          std::vector<std::string>* warnings) {
  const Result<PrintTemplate> tpl = ReadPrintTemplate(templatePath);
  if (!tpl) return tpl.outcome();
  const Result<PrintData> data = ReadPrintDocument(dataPath);
  if (!data) return data.outcome();
  return PrintPages(*data, *tpl, target, warnings);
}

std::string PrintCodeText(int code) {
  switch (code) {
    case kPrinted:
      return "打印完成";
    case kTemplateMissing:
      return "找不到打印模板文件";
    case kTemplateInvalid:
      return "打印模板文件有误";
    case kDocumentUnreadable:
      return "无法读取打印数据文件";
    case kDocumentDoesNotFit:
      return "打印数据与模板不符";
    case kPrinterError:
      return "打印机或 PDF 文件出错";
    case kPrintCancelled:
      return "打印已取消";
    default:
      return "打印失败";
  }
}

ScopedPreviewRunner::ScopedPreviewRunner(PreviewRunner runner) : previous_(std::move(Runner())) {
  Runner() = std::move(runner);
}

ScopedPreviewRunner::~ScopedPreviewRunner() { Runner() = std::move(previous_); }

}  // namespace orv
