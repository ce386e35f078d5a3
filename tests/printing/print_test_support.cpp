#include "print_test_support.h"

#include <gtest/gtest.h>

#include "core/output/print_document.h"
#include "printing/print_one_custom_xml.h"

namespace orv::test {

Printout PrintRows(const TempDir& dir, TimetableScope scope, const std::vector<TimetableRow>& rows,
                   int lessonsPerDay, const std::string& school) {
  const auto doc = dir / "tmp.xml";
  const Outcome written = WritePrintDocument(scope, doc, rows, school, lessonsPerDay);
  EXPECT_TRUE(written) << written.message();
  Printout out{-1, dir / "out.pdf"};
  out.code =
      PrintOneCustomXml(doc.string(), out.pdf.string(),
                        TemplatePath(PrintTemplateName(scope, lessonsPerDay)).string(), 0, 0, 0, "", 'T');
  EXPECT_EQ(out.code, 0) << LastPrintProblem();
  return out;
}

}  // namespace orv::test
