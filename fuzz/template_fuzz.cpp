// SPDX-License-Identifier: GPL-3.0-or-later
// The print template reader, and the layout of a small document with every
// template it accepts.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/output/print_document.h"
#include "fuzz_checks.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  const Result<PrintTemplate> tpl = ParsePrintTemplate(text);
  if (!tpl) {
    fuzz::Require(!tpl.message().empty(), "a refusal says why");
    return 0;
  }
  fuzz::RequireTemplateSane(*tpl);
  const std::vector<TimetableRow> rows = {{"一（1）班", "语文", "一（1）", 1, 1},
                                          {"一（2）班", "数学", "一（2）", 5, tpl->lessonsPerDay}};
  const bool school = tpl->layout == TemplateLayout::School;
  const std::string document = school ? SchoolTimetableXmlText(rows, "育才", tpl->lessonsPerDay)
                                      : TimetableXmlText(rows, "育才", tpl->lessonsPerDay);
  const Result<PrintData> data = ParsePrintData(document);
  fuzz::Require(data.ok(), "the writer's own document reads back");
  const Result<PageDocument> pages = LayOutPages(*data, *tpl);
  fuzz::Require(pages.ok(), "a matching document lays out");
  fuzz::RequireDrawable(*pages);
  return 0;
}
