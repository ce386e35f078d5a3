// SPDX-License-Identifier: GPL-3.0-or-later
// The print data document reader, and the layout of every document it
// accepts with a template of its kind.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_checks.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  const Result<PrintData> data = ParsePrintData(text);
  if (!data) {
    fuzz::Require(!data.message().empty(), "a refusal says why");
    return 0;
  }
  const size_t cells = size_t(data->lessonsPerDay) * 5;
  fuzz::Require(data->lessonsPerDay >= 0 && data->lessonsPerDay <= 7, "lessons per day");
  for (const PrintSubject& s : data->subjects) {
    fuzz::Require(s.cells.size() == cells, "every week complete");
    fuzz::Require(s.total >= 0 && s.total <= 35, "week total");
  }
  // Templates come in 6 and 7 lessons a day; a document of another length
  // is refused by the layout, which must say so rather than draw.
  PrintTemplate tpl;
  tpl.layout = data->kind == PrintDataKind::School ? TemplateLayout::School : TemplateLayout::Timetable;
  tpl.lessonsPerDay = data->lessonsPerDay == 7 ? 7 : 6;
  if (tpl.layout == TemplateLayout::School) {
    tpl.paper = "A3";
    tpl.paperWidth = 420;
    tpl.paperHeight = 297;
    tpl.landscape = true;
  }
  const Result<PageDocument> pages = LayOutPages(*data, tpl);
  if (pages) fuzz::RequireDrawable(*pages);
  return 0;
}
