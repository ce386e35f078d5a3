// SPDX-License-Identifier: GPL-3.0-or-later
// The records of each code list as the import will leave them, and how a
// sheet's name and code find one.
#include <algorithm>
#include <cstdio>

#include "core/database/class_list.h"
#include "core/database/record_names.h"
#include "core/database/valid_text.h"
#include "core/exchange/import_detail.h"
#include "core/exchange/typed_names.h"

namespace orv::import_detail {

namespace {

std::vector<std::u32string::value_type> CodePoints(std::string_view text) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t cp = n == 1 ? b : b & (0xFF >> (n + 1));
    for (size_t k = 1; k < n && i + k < text.size(); ++k) cp = (cp << 6) | (text[i + k] & 0x3F);
    out.push_back(cp);
    i += n;
  }
  return out;
}

size_t EditDistance(const std::vector<char32_t>& a, const std::vector<char32_t>& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

bool AllDigits(std::string_view s) {
  return !s.empty() && s.size() < 10 &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

Directory::Directory(CodeTable table, std::vector<CodeRecord> stored) : table_(table) {
  for (CodeRecord& r : stored) {
    if (byCode_.count(r.code)) continue;  // a duplicate key another program wrote
    Entry e;
    e.stored = r;
    e.record = std::move(r);
    byCode_.emplace(e.record.code, entries_.size());
    byName_.emplace(NameKey(e.record.name), entries_.size());
    entries_.push_back(std::move(e));
  }
}

std::string_view Directory::noun() const { return RecordNoun(table_); }

Entry* Directory::ByCode(std::string_view code) {
  auto it = byCode_.find(code);
  return it == byCode_.end() ? nullptr : &entries_[it->second];
}

std::vector<Entry*> Directory::ByName(std::string_view name) {
  std::vector<Entry*> out;
  const auto [first, last] = byName_.equal_range(NameKey(name));
  for (auto it = first; it != last; ++it) out.push_back(&entries_[it->second]);
  return out;
}

std::string Directory::NearestName(std::string_view name) const {
  const std::vector<char32_t> typed = CodePoints(NameKey(name));
  // One wrong character in a name of two or three; more in longer ones.
  const size_t allowed = std::max<size_t>(1, typed.size() / 3);
  std::string best;
  size_t bestDistance = allowed + 1;
  for (const Entry& e : entries_) {
    const size_t d = EditDistance(typed, CodePoints(NameKey(e.record.name)));
    if (d < bestDistance) {
      bestDistance = d;
      best = e.record.name;
    }
  }
  return best;
}

Entry& Directory::Add(CodeRecord record) {
  Entry e;
  e.record = std::move(record);
  byCode_.emplace(e.record.code, entries_.size());
  byName_.emplace(NameKey(e.record.name), entries_.size());
  entries_.push_back(std::move(e));
  return entries_.back();
}

std::string Directory::NextCode(size_t width) const {
  long long highest = 0;
  for (const auto& [code, index] : byCode_)
    if (AllDigits(code)) {
      highest = std::max(highest, std::stoll(code));
      width = std::max(width, code.size());
    }
  for (long long n = highest + 1;; ++n) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld", int(width), n);
    if (!byCode_.count(text)) return text;
  }
}

std::string NameKey(std::string_view name) {
  std::string key;
  for (char c : FoldTyped(name))
    if (c != ' ' && c != '\t') key += c;
  return key;
}

std::string Label(const Entry& e) { return RecordLabel(e.record.name, e.record.code); }

namespace {

std::string Quoted(std::string_view s) { return "“" + std::string(s) + "”"; }

// A name no record has: a new record for a plan row, when the user asked
// for that. A class needs a name that says its grade and number.
Entry* CreateNamed(Work& work, Directory& list, const std::string& name) {
  CodeRecord r;
  if (list.table() == CodeTable::Class) {
    const std::optional<TypedClass> typed = ParseTypedClass(name);
    if (!typed) return nullptr;
    r.code = ClassCodeFor(typed->grade, typed->number);
    if (list.ByCode(r.code)) return nullptr;
    const ClassNames names = *ComposeClassNames(typed->grade, typed->number);
    r.name = names.name;
    r.fullName = names.fullName;
    r.shortName = names.shortName;
  } else {
    r.code = list.NextCode(list.table() == CodeTable::Teacher ? 3 : 2);
    r.name = r.fullName = r.shortName = name;
  }
  Entry& e = list.Add(std::move(r));
  e.createdByPlan = true;
  if (list.table() == CodeTable::Course) work.special.emplace(e.record.code, false);
  return &e;
}

}  // namespace

Entry* Resolve(Work& work, Problems& problems, CodeTable table, const Sheet& sheet, const Row& row,
               size_t nameColumn, std::optional<size_t> codeColumn, bool create) {
  Directory& list = work.List(table);
  const std::string& name = row[nameColumn];
  const std::string code = codeColumn ? row[*codeColumn] : std::string();
  const std::string noun(list.noun());
  if (!code.empty()) {
    Entry* e = list.ByCode(code);
    if (!e) {
      problems.Add(sheet, row, *codeColumn, "没有编号为" + Quoted(code) + "的" + noun);
      return nullptr;
    }
    if (!name.empty() && NameKey(e->record.name) != NameKey(name)) {
      problems.Add(
          sheet, row, *codeColumn,
          "编号" + Quoted(code) + "是" + noun + Quoted(e->record.name) + "，与名称" + Quoted(name) + "不符");
      return nullptr;
    }
    return e;
  }
  if (name.empty()) {
    problems.Add(sheet, row, nameColumn, "没有填写");
    return nullptr;
  }
  std::vector<Entry*> found = list.ByName(name);
  if (found.empty() && table == CodeTable::Class)
    if (const std::optional<TypedClass> typed = ParseTypedClass(name)) {
      // 初一(2)班 for a class stored as 七（2）班: the same grade and number.
      for (Entry& e : list.entries()) {
        const std::optional<TypedClass> stored = ParseTypedClass(e.record.name);
        if (stored ? *stored == *typed : e.record.code == ClassCodeFor(typed->grade, typed->number))
          found.push_back(&e);
      }
    }
  if (found.size() == 1) return found[0];
  if (found.size() > 1) {
    std::vector<NamedRecord> named;
    for (const Entry* e : found) named.push_back({e->record.code, e->record.name});
    problems.Add(sheet, row, nameColumn,
                 "有" + std::to_string(found.size()) + "个" + noun + "名为" + Quoted(name) + "（" +
                     RecordLabels(named) + "），请在" +
                     Quoted(codeColumn ? SheetOf(sheet.kind).columns[*codeColumn].header : "编号") +
                     "列填写编号以区分");
    return nullptr;
  }
  if (create)
    if (Entry* e = CreateNamed(work, list, name)) return e;
  std::string reason = "没有名为" + Quoted(name) + "的" + noun;
  if (const std::string near = list.NearestName(name); !near.empty())
    reason += "，是不是" + Quoted(near) + "？";
  else if (table == CodeTable::Class && !ParseTypedClass(name))
    reason += "（班级可写作“一（1）班”“1年级1班”“初一(2)班”等）";
  problems.Add(sheet, row, nameColumn, std::move(reason));
  return nullptr;
}

}  // namespace orv::import_detail
