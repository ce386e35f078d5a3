// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>

#include "core/scheduling/complete_timetable.h"
#include "core/scheduling/optimiser.h"
#include "gui/gallery/gallery.h"
#include "gui/timetable/quality_window.h"

namespace orv::ui {

// Listed last: the demo timetable is completed and optimised here, the way
// a school would see it after 补排, and the windows before keep showing the
// generation's week.
void AddQualityGallery(GalleryList& list) {
  list.push_back({"frmQuality", [](UiContext& ctx) -> QWidget* {
                    CompletionOptions completion;
                    completion.lessonsPerDay = ctx.state.week.lessonsPerDay;
                    if (Result<CompletionReport> r = CompleteTimetable(*ctx.state.db, completion); !r)
                      std::fprintf(stderr, "frmQuality: completion: %s\n", r.message().c_str());
                    OptimiserOptions optimiser;
                    optimiser.lessonsPerDay = ctx.state.week.lessonsPerDay;
                    if (Result<OptimiserReport> r = OptimiseTimetable(*ctx.state.db, optimiser); !r)
                      std::fprintf(stderr, "frmQuality: optimiser: %s\n", r.message().c_str());
                    return new FrmQuality(ctx);
                  }});
}

}  // namespace orv::ui
