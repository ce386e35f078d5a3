// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/pdf_text_layer.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <QHash>
#include <QRawFont>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

namespace orv {

namespace {

// The PDF writer looks glyphs up for these code points only.
constexpr char32_t kPlaneEnd = 0x10000;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// One glyph code of a font and the text it stands for, in UTF-16.
struct Mapping {
  unsigned code = 0;
  std::size_t width = 4;  // hex digits of the code
  std::u16string text;
};

// Reads the hex strings, brackets and keywords of a CMap's mapping sections.
class CMapReader {
 public:
  explicit CMapReader(std::string_view s) : s_(s) {}

  void SkipSpace() {
    while (pos_ < s_.size()) {
      if (std::isspace(static_cast<unsigned char>(s_[pos_]))) {
        ++pos_;
      } else if (s_[pos_] == '%') {
        while (pos_ < s_.size() && s_[pos_] != '\n' && s_[pos_] != '\r') ++pos_;
      } else {
        break;
      }
    }
  }

  bool Take(char c) {
    SkipSpace();
    if (pos_ >= s_.size() || s_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  bool TakeWord(std::string_view word) {
    SkipSpace();
    if (s_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  // The digits of <...>, with an odd last digit padded as a 0.
  std::optional<std::string> Hex() {
    if (!Take('<')) return std::nullopt;
    std::string digits;
    while (pos_ < s_.size() && s_[pos_] != '>') {
      const char c = s_[pos_++];
      if (std::isxdigit(static_cast<unsigned char>(c)))
        digits += c;
      else if (!std::isspace(static_cast<unsigned char>(c)))
        return std::nullopt;
    }
    if (pos_ >= s_.size()) return std::nullopt;
    ++pos_;
    if (digits.size() % 2) digits += '0';
    return digits;
  }

  std::size_t pos() const { return pos_; }
  void seek(std::size_t p) { pos_ = p; }

 private:
  std::string_view s_;
  std::size_t pos_ = 0;
};

std::optional<std::u16string> Utf16(const std::string& hex) {
  if (hex.size() % 4) return std::nullopt;
  std::u16string text;
  for (std::size_t i = 0; i < hex.size(); i += 4) text += char16_t(std::stoul(hex.substr(i, 4), nullptr, 16));
  return text;
}

std::optional<char32_t> SingleCodePoint(const std::u16string& t) {
  if (t.size() == 1 && !IsSurrogate(t[0])) return t[0];
  if (t.size() == 2 && t[0] >= 0xD800 && t[0] <= 0xDBFF && t[1] >= 0xDC00 && t[1] <= 0xDFFF)
    return 0x10000 + ((char32_t(t[0]) - 0xD800) << 10) + (char32_t(t[1]) - 0xDC00);
  return std::nullopt;
}

std::u16string Utf16Of(char32_t c) {
  if (c < 0x10000) return std::u16string(1, char16_t(c));
  c -= 0x10000;
  return {char16_t(0xD800 + (c >> 10)), char16_t(0xDC00 + (c & 0x3FF))};
}

std::string HexOf(unsigned value, std::size_t width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", int(width), value);
  return buf;
}

// The body of one bfchar or bfrange section, up to its end keyword.
bool ReadSection(CMapReader& r, bool ranges, std::vector<Mapping>& out) {
  const std::string_view end = ranges ? "endbfrange" : "endbfchar";
  while (!r.TakeWord(end)) {
    const auto first = r.Hex();
    if (!first || first->empty() || first->size() > 8) return false;
    const unsigned lo = unsigned(std::stoul(*first, nullptr, 16));
    unsigned hi = lo;
    if (ranges) {
      const auto last = r.Hex();
      if (!last || last->empty() || last->size() > 8) return false;
      hi = unsigned(std::stoul(*last, nullptr, 16));
      if (hi < lo || hi - lo > 0xFFFF) return false;
    }
    if (ranges && r.Take('[')) {
      for (unsigned code = lo; code <= hi; ++code) {
        const auto hex = r.Hex();
        const auto text = hex ? Utf16(*hex) : std::nullopt;
        if (!text || text->empty()) return false;
        out.push_back({code, first->size(), *text});
      }
      if (!r.Take(']')) return false;
      continue;
    }
    const auto hex = r.Hex();
    auto text = hex ? Utf16(*hex) : std::nullopt;
    if (!text || text->empty()) return false;
    // A range counts its text up in the last unit.
    for (unsigned code = lo; code <= hi; ++code, ++text->back()) out.push_back({code, first->size(), *text});
  }
  return true;
}

}  // namespace

TextCorrections PdfTextCorrections(const QList<QFont>& fonts, const QString& text) {
  std::set<char32_t> held;
  for (const char32_t c : text.toUcs4()) held.insert(c);

  QString plane(int(kPlaneEnd), QChar(0));
  for (char32_t c = 1; c < kPlaneEnd; ++c)
    if (!IsSurrogate(c)) plane[int(c)] = QChar(char16_t(c));

  TextCorrections corrections;
  for (const QFont& font : fonts) {
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) continue;
    std::vector<quint32> glyphs(kPlaneEnd, 0);
    int count = int(kPlaneEnd);
    if (!raw.glyphIndexesForChars(plane.constData(), plane.size(), glyphs.data(), &count)) continue;
    // The code point the writer names each glyph by: the lowest that has it.
    QHash<quint32, char32_t> nameOf;
    for (char32_t c = 1; c < kPlaneEnd; ++c)
      if (glyphs[c] != 0 && !IsSurrogate(c) && !nameOf.contains(glyphs[c])) nameOf.insert(glyphs[c], c);
    for (const char32_t c : held) {
      if (c >= kPlaneEnd || IsSurrogate(c) || glyphs[c] == 0) continue;
      const char32_t name = nameOf.value(glyphs[c], c);
      if (name != c && !held.count(name)) corrections.emplace(name, c);
    }
  }
  return corrections;
}

std::optional<std::string> CorrectToUnicodeCMap(std::string_view cmap, const TextCorrections& corrections) {
  std::vector<Mapping> mappings;
  std::size_t head = std::string_view::npos;  // where the first section's count starts
  std::size_t tail = 0;                       // just past the last section
  CMapReader r(cmap);
  for (std::size_t at = cmap.find("beginbf"); at != std::string_view::npos; at = cmap.find("beginbf", at)) {
    std::size_t count = at;
    while (count > 0 && std::isspace(static_cast<unsigned char>(cmap[count - 1]))) --count;
    while (count > 0 && std::isdigit(static_cast<unsigned char>(cmap[count - 1]))) --count;
    // Between two sections there is only the next one's count.
    if (head != std::string_view::npos &&
        cmap.substr(tail, count - tail).find_first_not_of(" \t\r\n") != std::string_view::npos)
      return std::nullopt;
    if (head == std::string_view::npos) head = count;
    r.seek(at);
    const bool ranges = r.TakeWord("beginbfrange");
    if (!ranges && !r.TakeWord("beginbfchar")) return std::nullopt;
    if (!ReadSection(r, ranges, mappings)) return std::nullopt;
    tail = at = r.pos();
  }
  if (head == std::string_view::npos) return std::nullopt;

  bool changed = false;
  for (Mapping& m : mappings) {
    const auto c = SingleCodePoint(m.text);
    const auto fix = c ? corrections.find(*c) : corrections.end();
    if (fix == corrections.end()) continue;
    m.text = Utf16Of(fix->second);
    changed = true;
  }
  if (!changed) return std::nullopt;

  // Sections hold at most 100 mappings each.
  std::string out(cmap.substr(0, head));
  for (std::size_t i = 0; i < mappings.size(); i += 100) {
    const std::size_t n = std::min<std::size_t>(100, mappings.size() - i);
    out += std::to_string(n) + " beginbfchar\n";
    for (std::size_t k = i; k < i + n; ++k) {
      out += "<" + HexOf(mappings[k].code, mappings[k].width) + "> <";
      for (const char16_t u : mappings[k].text) out += HexOf(u, 4);
      out += ">\n";
    }
    out += "endbfchar\n";
  }
  const std::size_t rest = cmap.find_first_not_of(" \t\r\n", tail);
  if (rest != std::string_view::npos) out += cmap.substr(rest);
  return out;
}

namespace {

// Reads the PDF at `path`, lets `edit` change it (it says whether it did) and
// writes it back in place; a PDF the edit leaves alone is not rewritten.
template <class Edit>
Outcome RewritePdf(const std::string& path, const std::string& failure, Edit edit) {
  const auto failed = [&] { return Outcome::Fail(failure + path); };
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    if (!in) return failed();
    bytes = all.str();
  }
  std::shared_ptr<Buffer> written;
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile(path.c_str(), bytes.data(), bytes.size());
    if (!edit(pdf)) return Outcome::Ok();
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.write();
    written = writer.getBufferSharedPointer();
  } catch (const std::exception&) {
    return failed();
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(written->getBuffer()), std::streamsize(written->getSize()));
  out.close();
  return out ? Outcome::Ok() : failed();
}

}  // namespace

Outcome CorrectPdfText(const std::string& path, const TextCorrections& corrections) {
  if (corrections.empty()) return Outcome::Ok();
  return RewritePdf(path, "无法整理 PDF 文件中的文字：", [&](QPDF& pdf) {
    bool changed = false;
    for (QPDFObjectHandle& object : pdf.getAllObjects()) {
      if (!object.isDictionary() || !object.hasKey("/ToUnicode")) continue;
      QPDFObjectHandle map = object.getKey("/ToUnicode");
      if (!map.isStream()) continue;
      const std::shared_ptr<Buffer> data = map.getStreamData();
      const auto fixed = CorrectToUnicodeCMap(
          std::string_view(reinterpret_cast<const char*>(data->getBuffer()), data->getSize()), corrections);
      if (!fixed) continue;
      map.replaceStreamData(*fixed, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
      changed = true;
    }
    return changed;
  });
}

Outcome SetPdfAuthor(const std::string& path, const std::string& author) {
  if (author.empty()) return Outcome::Ok();
  return RewritePdf(path, "无法写入 PDF 文件的作者：", [&](QPDF& pdf) {
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (!info.isDictionary()) {
      info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
      trailer.replaceKey("/Info", info);
    }
    info.replaceKey("/Author", QPDFObjectHandle::newUnicodeString(author));
    return true;
  });
}

}  // namespace orv
