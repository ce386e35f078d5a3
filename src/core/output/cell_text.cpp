// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/output/cell_text.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <optional>

#include "core/output/print_data.h"

namespace orv {

namespace {

constexpr double kNormalSpacing = 1.3;
// Lines of a crowded cell move closer before any text is made smaller: at
// 1.1 the lines still clear each other's strokes.
constexpr double kTightSpacing = 1.1;
constexpr double kSizeStep = 0.5;

size_t CharLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

bool OneOf(std::string_view c, std::initializer_list<std::string_view> set) {
  return std::find(set.begin(), set.end(), c) != set.end();
}

// Marks that close what came before them stay on its line; opening ones
// stay with what follows.
bool Closing(std::string_view c) {
  return OneOf(c, {")",  "]",  "}",  ",",  ".",  ";",  ":",  "!",  "?",  "）", "】", "」",
                   "』", "》", "〉", "，", "。", "、", "；", "：", "！", "？", "…",  "·"});
}
bool Opening(std::string_view c) { return OneOf(c, {"(", "[", "{", "（", "【", "「", "『", "《", "〈"}); }
bool Space(std::string_view c) { return c == " "; }
// Letters and digits of alphabetic scripts form words that are not broken.
bool WordChar(std::string_view c) { return (c.size() == 1 && !Space(c)) || c.size() == 2; }

struct Row {
  size_t first, last;  // characters [first, last)
};

class Characters {
 public:
  explicit Characters(std::string_view text) : text_(text) {
    for (size_t at = 0; at < text.size(); at += CharLength(static_cast<unsigned char>(text[at])))
      offsets_.push_back(at);
    offsets_.push_back(text.size());
  }
  size_t size() const { return offsets_.size() - 1; }
  std::string_view operator[](size_t i) const { return Part(i, i + 1); }
  std::string_view Part(size_t first, size_t last) const {
    const size_t from = offsets_[std::min(first, size())];
    return text_.substr(from, offsets_[std::min(last, size())] - from);
  }
  // A line may begin at character i.
  bool BreakBefore(size_t i) const {
    if (i == 0 || i >= size()) return true;
    const std::string_view before = (*this)[i - 1], at = (*this)[i];
    if (Space(at)) return false;
    if (Space(before)) return true;
    if (Closing(at) || Opening(before)) return false;
    return !(WordChar(before) && WordChar(at));
  }

 private:
  std::string_view text_;
  std::vector<size_t> offsets_;
};

std::vector<Row> Rows(const Characters& chars, const TextStyle& style, double points, double width,
                      const TextMeasure& measure) {
  std::vector<Row> rows;
  const size_t n = chars.size();
  auto fits = [&](size_t first, size_t last) {
    return measure(TrimmedValue(chars.Part(first, last)), style, points) <= width;
  };
  auto skipSpaces = [&](size_t at) {
    while (at < n && Space(chars[at])) ++at;
    return at;
  };
  for (size_t first = skipSpaces(0); first < n; first = skipSpaces(first)) {
    if (fits(first, n)) {
      rows.push_back({first, n});
      break;
    }
    // The most characters that fit, one at least however narrow the cell;
    // widths grow with the characters, so halving finds it.
    size_t last = first + 1, over = n;
    while (over - last > 1) {
      const size_t mid = last + (over - last) / 2;
      (fits(first, mid) ? last : over) = mid;
    }
    size_t at = last;
    while (at > first && !chars.BreakBefore(at)) --at;
    if (at == first) at = last;
    rows.push_back({first, at});
    first = at;
  }
  if (rows.empty()) rows.push_back({0, 0});
  return rows;
}

std::vector<std::string> Lines(const Characters& chars, const std::vector<Row>& rows) {
  std::vector<std::string> lines;
  for (const Row& r : rows) lines.emplace_back(TrimmedValue(chars.Part(r.first, r.last)));
  return lines;
}

// The wrap into `count` lines with the narrowest width that still gives no
// more: two lines of a name come out nearly equal, not a full one and a stub.
std::vector<Row> BalancedRows(const Characters& chars, const TextStyle& style, double points, double width,
                              size_t count, const TextMeasure& measure) {
  std::vector<Row> best = Rows(chars, style, points, width, measure);
  if (count < 2) return best;
  double low = 0, high = width;
  for (int step = 0; step < 12; ++step) {
    const double mid = (low + high) / 2;
    std::vector<Row> rows = Rows(chars, style, points, mid, measure);
    bool within = rows.size() <= count;
    for (const Row& r : rows)
      within = within && measure(TrimmedValue(chars.Part(r.first, r.last)), style, points) <= mid;
    if (within) {
      high = mid;
      best = std::move(rows);
    } else {
      low = mid;
    }
  }
  return best;
}

// The first `count` lines, the last ending in "…" in place of the rest.
std::vector<std::string> CutLines(const Characters& chars, const TextStyle& style, double points,
                                  double width, size_t count, const TextMeasure& measure) {
  std::vector<Row> rows = Rows(chars, style, points, width, measure);
  rows.resize(count);
  std::vector<std::string> lines = Lines(chars, rows);
  const size_t first = rows.back().first;
  size_t last = first + 1;
  auto cut = [&](size_t end) {
    return std::string(TrimmedValue(chars.Part(first, end))) + std::string(kEllipsis);
  };
  while (last < chars.size() && measure(cut(last + 1), style, points) <= width) ++last;
  lines.back() = cut(last);
  return lines;
}

// One text's sizes to try, largest first, down to the smallest allowed (or
// its own, when the template asks for less).
std::vector<double> Sizes(const TextStyle& style) {
  const double smallest = std::min(style.size, kSmallestCellPoints);
  std::vector<double> sizes;
  for (double s = style.size; s > smallest + 1e-9; s -= kSizeStep) sizes.push_back(s);
  sizes.push_back(smallest);
  return sizes;
}

struct Choice {
  size_t size = 0;  // index into the text's sizes
  size_t lines = 1;
};

class CellFitter {
 public:
  CellFitter(const std::vector<CellText>& texts, double width, double height, const TextMeasure& measure)
      : texts_(texts), width_(width), height_(height), measure_(measure) {
    for (size_t i = 0; i < texts_.size(); ++i) {
      // Names run to a few dozen characters; a text of more than 400 (only
      // a made-up document has one) is cut there, which keeps fitting quick.
      std::string& text = texts_[i].text;
      if (const Characters all(text); all.size() > kLongestText) {
        text = std::string(all.Part(0, kLongestText)) + std::string(kEllipsis);
        shortened_.push_back(i);
      }
    }
    for (const CellText& t : texts_) {
      chars_.emplace_back(t.text);
      sizes_.push_back(Sizes(t.style));
      lines_.emplace_back(sizes_.back().size(), 0);
    }
  }

  CellSetting Set() {
    std::optional<std::vector<Choice>> chosen = Fit(2);
    if (!chosen) chosen = Fit(std::numeric_limits<size_t>::max());
    if (chosen) return Setting(*chosen, {});
    return Cut();
  }

 private:
  size_t LinesAt(size_t text, size_t size) {
    size_t& known = lines_[text][size];
    if (known == 0)
      known = Rows(chars_[text], texts_[text].style, sizes_[text][size], width_, measure_).size();
    return known;
  }
  double Points(size_t text, const Choice& c) const { return sizes_[text][c.size]; }
  double Height(const std::vector<Choice>& choices, double spacing) const {
    double h = 0;
    for (size_t i = 0; i < choices.size(); ++i)
      h += choices[i].lines * Points(i, choices[i]) * kMmPerPoint * spacing;
    return h;
  }
  // The text's next size, from `from` on, that needs no more than `cap` lines.
  bool Advance(size_t text, size_t from, size_t cap, Choice& c) {
    for (size_t s = from; s < sizes_[text].size(); ++s)
      if (const size_t lines = LinesAt(text, s); lines <= cap) {
        c = {s, lines};
        return true;
      }
    return false;
  }

  // Every text at the largest size at which it needs at most `cap` lines,
  // then the text taking the most room made smaller until the cell holds
  // them all; nothing when it never does.
  std::optional<std::vector<Choice>> Fit(size_t cap) {
    std::vector<Choice> choices(texts_.size());
    for (size_t i = 0; i < texts_.size(); ++i)
      if (!Advance(i, 0, cap, choices[i])) return std::nullopt;
    while (Height(choices, kTightSpacing) > height_ + 1e-9) {
      size_t widest = texts_.size();
      double room = 0;
      for (size_t i = 0; i < texts_.size(); ++i) {
        const double r = choices[i].lines * Points(i, choices[i]);
        if (choices[i].size + 1 < sizes_[i].size() && r > room) room = r, widest = i;
      }
      if (widest == texts_.size() || !Advance(widest, choices[widest].size + 1, cap, choices[widest]))
        return std::nullopt;
    }
    return choices;
  }

  // At the smallest sizes each text has one line. The lines left make as
  // many texts whole as they can, those needing the fewest first; what is
  // still left goes to the others in order (the course first), and whatever
  // does not fit its lines is cut.
  CellSetting Cut() {
    std::vector<Choice> choices(texts_.size());
    std::vector<size_t> needed(texts_.size());
    for (size_t i = 0; i < texts_.size(); ++i) {
      choices[i] = {sizes_[i].size() - 1, 1};
      needed[i] = LinesAt(i, choices[i].size);
    }
    auto heightWith = [&](size_t text, size_t lines) {
      std::vector<Choice> more = choices;
      more[text].lines = lines;
      return Height(more, kTightSpacing);
    };
    std::vector<size_t> order(texts_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return needed[a] < needed[b]; });
    for (size_t i : order)
      if (heightWith(i, needed[i]) <= height_ + 1e-9) choices[i].lines = needed[i];
    for (size_t i = 0; i < texts_.size(); ++i)
      while (choices[i].lines < needed[i] && heightWith(i, choices[i].lines + 1) <= height_ + 1e-9)
        ++choices[i].lines;
    return Setting(choices, needed);
  }

  CellSetting Setting(const std::vector<Choice>& choices, const std::vector<size_t>& needed) {
    CellSetting setting;
    for (size_t i = 0; i < choices.size(); ++i) {
      const TextStyle& style = texts_[i].style;
      const double points = Points(i, choices[i]);
      SetText set;
      set.points = points;
      if (!needed.empty() && needed[i] > choices[i].lines) {
        set.lines = CutLines(chars_[i], style, points, width_, choices[i].lines, measure_);
        set.cut = true;
      } else {
        set.lines =
            Lines(chars_[i], BalancedRows(chars_[i], style, points, width_, choices[i].lines, measure_));
      }
      if (std::find(shortened_.begin(), shortened_.end(), i) != shortened_.end()) set.cut = true;
      setting.texts.push_back(std::move(set));
    }
    const double natural = Height(choices, 1.0);
    setting.spacing = natural > 0 ? std::min(kNormalSpacing, height_ / natural) : kNormalSpacing;
    return setting;
  }

  static constexpr size_t kLongestText = 400;

  std::vector<CellText> texts_;  // a copy: an over-long text is shortened
  std::vector<size_t> shortened_;
  double width_, height_;
  const TextMeasure& measure_;
  std::vector<Characters> chars_;
  std::vector<std::vector<double>> sizes_;
  std::vector<std::vector<size_t>> lines_;  // lines needed per size; 0 until known
};

}  // namespace

TextMeasure EstimatedMeasure() {
  return [](std::string_view text, const TextStyle&, double points) {
    double ems = 0;
    for (size_t at = 0; at < text.size();) {
      const size_t length = CharLength(static_cast<unsigned char>(text[at]));
      ems += length >= 3 ? 1.0 : text[at] == ' ' ? 0.3 : 0.55;
      at += length;
    }
    return ems * points * kMmPerPoint;
  };
}

CellSetting SetCellTexts(const std::vector<CellText>& texts, double width, double height,
                         const TextMeasure& measure) {
  if (texts.empty()) return {};
  return CellFitter(texts, width, height, measure).Set();
}

std::vector<std::string> WrapText(std::string_view text, const TextStyle& style, double points, double width,
                                  const TextMeasure& measure) {
  const Characters chars(text);
  return Lines(chars, Rows(chars, style, points, width, measure));
}

std::string CutNamesNotice(const std::vector<std::string>& names) {
  if (names.empty()) return {};
  constexpr size_t kNamed = 5;
  std::string listed;
  for (size_t i = 0; i < names.size() && i < kNamed; ++i) listed += (i ? "、" : "") + names[i];
  if (names.size() > kNamed) listed += " 等 " + std::to_string(names.size()) + " 个名称";
  return "名称太长，格子里放不下，打印时末尾以“…”截断：" + listed + "。把名称改短后再打印即可完整显示。";
}

}  // namespace orv
