// SPDX-License-Identifier: GPL-3.0-or-later
// What a PDF reader extracts from our printed PDFs (search, copy, pdftotext)
// made to say what the page shows.
//
// Qt's PDF writer names each embedded glyph (the font's ToUnicode map) by the
// lowest code point whose glyph it is. The CJK fonts draw many ideographs and
// punctuation marks with the very glyph of an older, lower code point: 一 with
// the glyph of the Kangxi radical ⼀ (U+2F00), 黄 and 马 with those of the
// radicals ⻩ and ⻢, the ideographic space with that of the em space, ／ with
// ∕, ～ with 〜. A school's PDF then cannot be searched for its own class and
// teacher names, and a name copied out of it is the wrong text.
//
// The fix is a pass over the finished file: we know every character the
// pages hold and the fonts they were painted with, so for each such character
// we know which lower code point the writer put in its place, and map it back.
// Choosing another font would help only where that font is installed and is
// the one substituted: AR PL UMing gives its radicals glyphs of their own, but
// it is an older design and no sans-serif for 黑体, where Noto Sans CJK shares
// glyphs as the serif does. Qt's PDF engine has no setting that changes how
// it names glyphs.
// The pass works whatever font the system substitutes, and leaves alone every
// character the document really holds.
#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/outcome.h"

namespace orv {

// A code point the PDF writer puts in place of a character the document
// holds, mapped to that character.
using TextCorrections = std::map<char32_t, char32_t>;

// The corrections for `text` painted with `fonts`: for each character, the
// lowest code point that shares its glyph in one of the fonts, unless the
// text holds that code point itself (then the two cannot be told apart).
TextCorrections PdfTextCorrections(const QList<QFont>& fonts, const QString& text);

// One ToUnicode CMap with the corrections applied, written out as single
// mappings; nullopt when none applies or the map is not one this reads.
std::optional<std::string> CorrectToUnicodeCMap(std::string_view cmap, const TextCorrections& corrections);

// Applies the corrections to every font's ToUnicode map in the PDF at `path`
// and rewrites the file in place: meant for a finished file that no one else
// sees yet (the temporary file before it replaces the target).
Outcome CorrectPdfText(const std::string& path, const TextCorrections& corrections);

// The PDF's Author set to `author` (Qt's writer has none); nothing is
// written for an empty one.
Outcome SetPdfAuthor(const std::string& path, const std::string& author);

}  // namespace orv
