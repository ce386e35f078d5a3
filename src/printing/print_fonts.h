// The Chinese font names templates and windows use, mapped to the CJK fonts
// installed here: "宋体" to a serif, "黑体" to a sans-serif.
#pragma once

namespace orv {

// Safe to call more than once; only the first call registers.
void InstallFontSubstitutions();

}  // namespace orv
