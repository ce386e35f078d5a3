// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/table_reader.h"

#include <iconv.h>
#include <minizip/unzip.h>

#include <charconv>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <pugixml.hpp>

namespace orv {
namespace {

namespace fs = std::filesystem;

// The first bytes of an OLE compound file: an .xls workbook, or an .xlsx
// that Excel or WPS has encrypted with a password.
constexpr unsigned char kOleMagic[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

Outcome CheckReadable(const fs::path& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) return Outcome::Fail("找不到文件：" + path.string());
  if (fs::is_directory(path, ec)) return Outcome::Fail("这是一个文件夹，不是表格文件：" + path.string());
  return Outcome::Ok();
}

bool StartsWithOle(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char head[sizeof kOleMagic] = {};
  in.read(reinterpret_cast<char*>(head), sizeof head);
  return in.gcount() == sizeof head && std::memcmp(head, kOleMagic, sizeof head) == 0;
}

void TrimRow(std::vector<std::string>& row) {
  while (!row.empty() && row.back().empty()) row.pop_back();
}

void TrimTable(Table& table) {
  for (auto& row : table.rows) TrimRow(row);
  while (!table.rows.empty() && table.rows.back().empty()) table.rows.pop_back();
}

class Zip {
 public:
  explicit Zip(const fs::path& path) : file_(unzOpen64(path.c_str())) {}
  ~Zip() {
    if (file_) unzClose(file_);
  }
  Zip(const Zip&) = delete;
  Zip& operator=(const Zip&) = delete;
  bool open() const { return file_ != nullptr; }

  bool Has(const std::string& name) { return unzLocateFile(file_, name.c_str(), 2) == UNZ_OK; }

  // The part's bytes; its size is checked against the limit from the
  // directory first and again while reading, since the directory may lie.
  Result<std::string> Read(const std::string& name, const std::string& what, std::uint64_t limit) {
    const std::string corrupt =
        "表格文件已损坏，无法读取其中的" + what + "，请在Excel或WPS中打开并另存后再导入";
    if (unzLocateFile(file_, name.c_str(), 2) != UNZ_OK)
      return Outcome::Fail("表格文件缺少" + what + "（" + name + "），不是有效的.xlsx文件");
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(file_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
      return Outcome::Fail(corrupt);
    if (info.flag & 1u) return Outcome::Fail("表格文件设有密码（已加密），请在Excel或WPS中去掉密码后再导入");
    const std::string too_big =
        what + "太大（超过" + std::to_string(limit / (1024 * 1024)) + " MB），请拆分成较小的表格后再导入";
    if (info.uncompressed_size > limit) return Outcome::Fail(too_big);
    if (unzOpenCurrentFile(file_) != UNZ_OK) return Outcome::Fail(corrupt);
    std::string data;
    data.reserve(static_cast<std::size_t>(info.uncompressed_size));
    char buffer[1 << 16];
    for (;;) {
      int n = unzReadCurrentFile(file_, buffer, sizeof buffer);
      if (n < 0) {
        unzCloseCurrentFile(file_);
        return Outcome::Fail(corrupt);
      }
      if (n == 0) break;
      if (data.size() + static_cast<std::size_t>(n) > limit) {
        unzCloseCurrentFile(file_);
        return Outcome::Fail(too_big);
      }
      data.append(buffer, static_cast<std::size_t>(n));
    }
    if (unzCloseCurrentFile(file_) != UNZ_OK) return Outcome::Fail(corrupt);
    return data;
  }

 private:
  unzFile file_;
};

Result<pugi::xml_document*> Parse(pugi::xml_document& doc, const std::string& data, const std::string& what) {
  if (!doc.load_buffer(data.data(), data.size()))
    return Outcome::Fail("表格文件中的" + what + "不是有效的XML，文件可能已损坏");
  return &doc;
}

// Names in the workbook's parts carry namespace prefixes only sometimes
// (files from some tools write <x:c>); compare the local name alone.
const char* Local(const pugi::xml_node& node) {
  const char* name = node.name();
  const char* colon = std::strrchr(name, ':');
  return colon ? colon + 1 : name;
}
bool Is(const pugi::xml_node& node, const char* local) { return std::strcmp(Local(node), local) == 0; }
pugi::xml_node Child(const pugi::xml_node& node, const char* local) {
  for (auto c : node.children())
    if (Is(c, local)) return c;
  return {};
}
const char* Attr(const pugi::xml_node& node, const char* local) {
  for (auto a : node.attributes()) {
    const char* colon = std::strrchr(a.name(), ':');
    if (std::strcmp(colon ? colon + 1 : a.name(), local) == 0) return a.value();
  }
  return "";
}

// The text of a string item: a plain <t>, or the <t> of every rich-text run;
// phonetic guides (<rPh>) are not part of the text.
std::string StringItem(const pugi::xml_node& item) {
  std::string text;
  for (auto c : item.children()) {
    if (Is(c, "t")) {
      text += c.text().get();
    } else if (Is(c, "r")) {
      if (auto t = Child(c, "t")) text += t.text().get();
    }
  }
  return text;
}

// "C3" → column 2 (from 0); -1 when the reference has no letters.
int ColumnOf(const char* ref) {
  int column = 0;
  bool any = false;
  for (; *ref >= 'A' && *ref <= 'Z'; ++ref) {
    column = column * 26 + (*ref - 'A' + 1);
    any = true;
    if (column > 16384) return -1;
  }
  return any ? column - 1 : -1;
}

// A number as Excel shows it: 5 rather than 5.0, and 0.3 rather than the
// 0.30000000000000004 a sum leaves behind. Excel shows 15 significant digits.
std::string NumberText(const std::string& stored) {
  double value = 0;
  auto [end, ec] = std::from_chars(stored.data(), stored.data() + stored.size(), value);
  if (ec != std::errc() || end != stored.data() + stored.size()) return stored;
  if (value == 0) value = 0;  // no "-0"
  char buffer[64];
  auto [out, ec2] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return ec2 == std::errc() ? std::string(buffer, out) : stored;
}

Result<Table> ReadSheet(Zip& zip, const std::string& part, const std::string& name,
                        const std::vector<std::string>& shared, std::uint64_t limit) {
  const std::string what = "工作表" + name;
  auto data = zip.Read(part, what, limit);
  if (!data) return data.outcome();
  pugi::xml_document doc;
  if (auto parsed = Parse(doc, *data, what); !parsed) return parsed.outcome();
  data.value().clear();
  data.value().shrink_to_fit();

  pugi::xml_node sheet = doc.first_child();
  Table table{name, {}, {}};
  if (auto merges = Child(sheet, "mergeCells")) {
    if (auto merge = Child(merges, "mergeCell")) {
      table.problem = "工作表" + name + "有合并的单元格 " + Attr(merge, "ref") + "，请取消合并后再导入";
      return table;
    }
  }

  std::size_t next_row = 0;
  for (auto row : Child(sheet, "sheetData").children()) {
    if (!Is(row, "row")) continue;
    std::size_t row_index = next_row;
    if (const char* r = Attr(row, "r"); *r)
      row_index = static_cast<std::size_t>(std::strtoul(r, nullptr, 10)) - 1;
    if (row_index < next_row || row_index > 1048575)
      return Outcome::Fail("工作表" + name + "的行号有误，文件可能已损坏");
    table.rows.resize(row_index + 1);
    auto& cells = table.rows[row_index];
    int next_column = 0;
    for (auto c : row.children()) {
      if (!Is(c, "c")) continue;
      const char* ref = Attr(c, "r");
      int column = *ref ? ColumnOf(ref) : next_column;
      if (column < next_column)
        return Outcome::Fail("工作表" + name + "的单元格" + ref + "位置有误，文件可能已损坏");
      next_column = column + 1;
      const std::string type = Attr(c, "t");
      auto v = Child(c, "v");
      std::string text;
      if (type == "inlineStr") {
        text = StringItem(Child(c, "is"));
      } else if (Child(c, "f") && (!v || (type != "str" && !*v.text().get()))) {
        // A formula whose result was never saved (a file written by a
        // program, not by Excel); a string result may rightly be empty.
        std::string cell =
            *ref ? ref : std::to_string(row_index + 1) + "行" + std::to_string(column + 1) + "列";
        table.rows.clear();
        table.problem =
            "工作表" + name + "的单元格" + cell + "是没有计算结果的公式，请在Excel或WPS中打开并保存后再导入";
        return table;
      } else if (!v) {
        text.clear();
      } else if (type == "s") {
        unsigned long index = std::strtoul(v.text().get(), nullptr, 10);
        if (index >= shared.size())
          return Outcome::Fail("工作表" + name + "的单元格" + ref + "引用了不存在的文字，文件可能已损坏");
        text = shared[index];
      } else if (type == "b") {
        text = std::string(v.text().get()) == "1" ? "TRUE" : "FALSE";
      } else if (type == "str" || type == "e" || type == "d") {
        text = v.text().get();
      } else {
        text = NumberText(v.text().get());
      }
      if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(column + 1);
      cells[column] = std::move(text);
    }
    next_row = row_index + 1;
  }
  TrimTable(table);
  return table;
}

// A relationship target is relative to the folder of the workbook part
// (xl/), unless it starts with "/"; "." and ".." are folded.
std::string Resolve(const std::string& target) {
  std::string joined = !target.empty() && target[0] == '/' ? target.substr(1) : "xl/" + target;
  std::vector<std::string> segments;
  std::size_t start = 0;
  while (start <= joined.size()) {
    std::size_t end = joined.find('/', start);
    if (end == std::string::npos) end = joined.size();
    std::string segment = joined.substr(start, end - start);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(std::move(segment));
    }
    start = end + 1;
  }
  std::string path;
  for (const auto& segment : segments) path += (path.empty() ? "" : "/") + segment;
  return path;
}

}  // namespace

Result<std::vector<Table>> ReadWorkbook(const std::filesystem::path& path, std::uint64_t max_part_bytes) {
  if (auto readable = CheckReadable(path); !readable) return readable;
  if (StartsWithOle(path)) {
    std::string ext = path.extension().string();
    for (auto& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == ".xls")
      return Outcome::Fail("这是旧版Excel的.xls文件，请在Excel或WPS中另存为.xlsx或.csv后再导入");
    return Outcome::Fail(
        "这个表格文件设有密码（已加密）或是旧版格式，请在Excel或WPS中去掉密码、另存为.xlsx后再导入");
  }
  Zip zip(path);
  if (!zip.open())
    return Outcome::Fail("文件不是有效的.xlsx表格（无法作为压缩包打开），可能已损坏：" +
                         path.filename().string());

  auto workbook_data = zip.Read("xl/workbook.xml", "工作簿目录", max_part_bytes);
  if (!workbook_data) return workbook_data.outcome();
  auto rels_data = zip.Read("xl/_rels/workbook.xml.rels", "工作簿关系表", max_part_bytes);
  if (!rels_data) return rels_data.outcome();
  pugi::xml_document workbook, rels;
  if (auto p = Parse(workbook, *workbook_data, "工作簿目录"); !p) return p.outcome();
  if (auto p = Parse(rels, *rels_data, "工作簿关系表"); !p) return p.outcome();

  std::map<std::string, std::string> targets;
  for (auto rel : rels.first_child().children())
    if (Is(rel, "Relationship")) targets[Attr(rel, "Id")] = Attr(rel, "Target");

  std::vector<std::string> shared;
  if (zip.Has("xl/sharedStrings.xml")) {
    auto data = zip.Read("xl/sharedStrings.xml", "共享文字表", max_part_bytes);
    if (!data) return data.outcome();
    pugi::xml_document doc;
    if (auto p = Parse(doc, *data, "共享文字表"); !p) return p.outcome();
    for (auto si : doc.first_child().children())
      if (Is(si, "si")) shared.push_back(StringItem(si));
  }

  std::vector<Table> tables;
  for (auto sheet : Child(workbook.first_child(), "sheets").children()) {
    if (!Is(sheet, "sheet")) continue;
    std::string name = Attr(sheet, "name");
    auto target = targets.find(Attr(sheet, "id"));
    if (target == targets.end()) return Outcome::Fail("表格文件中找不到工作表" + name + "，文件可能已损坏");
    auto table = ReadSheet(zip, Resolve(target->second), name, shared, max_part_bytes);
    if (!table) return table.outcome();
    tables.push_back(std::move(table).value());
  }
  if (tables.empty()) return Outcome::Fail("表格文件中没有工作表");
  return tables;
}

namespace {

bool IsUtf8(const std::string& s) {
  std::size_t i = 0, n = s.size();
  while (i < n) {
    auto c = static_cast<unsigned char>(s[i]);
    std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > n) return false;
    if (len == 2 && c < 0xC2) return false;  // overlong
    for (std::size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

Result<std::string> FromGb18030(const std::string& in) {
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1))
    return Outcome::Fail("无法转换CSV文件的编码（系统缺少GB18030编码支持）");
  std::string out(in.size() * 2 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  char* dst = out.data();
  std::size_t dst_left = out.size();
  std::size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1))
    return Outcome::Fail("CSV文件的编码无法识别（既不是UTF-8也不是GBK），请另存为UTF-8编码的CSV后再导入");
  out.resize(out.size() - dst_left);
  return out;
}

}  // namespace

Result<Table> ReadCsv(const std::filesystem::path& path, std::uint64_t max_bytes) {
  if (auto readable = CheckReadable(path); !readable) return readable;
  std::error_code ec;
  auto size = fs::file_size(path, ec);
  if (ec) return Outcome::Fail("无法读取文件：" + path.string());
  if (size > max_bytes)
    return Outcome::Fail("CSV文件太大（超过" + std::to_string(max_bytes / (1024 * 1024)) +
                         " MB），请拆分成较小的文件后再导入");
  std::ifstream in(path, std::ios::binary);
  std::string text(static_cast<std::size_t>(size), '\0');
  if (!in.read(text.data(), static_cast<std::streamsize>(size)))
    return Outcome::Fail("无法读取文件：" + path.string());

  if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
    text.erase(0, 3);
  } else if (!IsUtf8(text)) {
    auto converted = FromGb18030(text);
    if (!converted) return converted.outcome();
    text = std::move(converted).value();
  }

  Table table{path.stem().string(), {}, {}};
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  std::size_t line = 1, quote_line = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++line;
        field += c;
      }
    } else if (c == '"' && field.empty()) {
      quoted = true;
      quote_line = line;
    } else if (c == ',') {
      row.push_back(std::move(field));
      field.clear();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      row.push_back(std::move(field));
      field.clear();
      TrimRow(row);
      table.rows.push_back(std::move(row));
      row.clear();
      ++line;
    } else {
      field += c;
    }
  }
  if (quoted) return Outcome::Fail("CSV文件第" + std::to_string(quote_line) + "行的引号没有闭合");
  if (!field.empty() || !row.empty()) {
    row.push_back(std::move(field));
    TrimRow(row);
    table.rows.push_back(std::move(row));
  }
  TrimTable(table);
  return table;
}

}  // namespace orv
