// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/xlsx_reader.h"

#include <cmath>
#include <stdexcept>

#include "core/output/markup_reader.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace orv::test {

namespace {

// Each <tag ...>...</tag> (or <tag .../>) of the text: its attributes' text
// and its body.
struct Element {
  std::string attributes, body;
};

std::vector<Element> Elements(const std::string& xml, const std::string& tag) {
  std::vector<Element> out;
  const std::string open = "<" + tag;
  for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
    const char next = xml[at + open.size()];
    if (next != ' ' && next != '>' && next != '/') continue;
    const size_t gt = xml.find('>', at);
    Element e;
    e.attributes = xml.substr(at + open.size(), gt - at - open.size());
    if (xml[gt - 1] != '/') {
      const size_t close = xml.find("</" + tag + ">", gt);
      e.body = xml.substr(gt + 1, close - gt - 1);
    }
    out.push_back(std::move(e));
  }
  return out;
}

std::string Attribute(const std::string& attributes, const std::string& key) {
  const std::string k = " " + key + "=\"";
  const size_t at = (" " + attributes).find(k);
  if (at == std::string::npos) return "";
  const size_t start = at + k.size() - 1;
  return attributes.substr(start, attributes.find('"', start) - start);
}

std::string Text(const std::string& body) {
  std::string text;
  for (const Element& t : Elements(body, "t")) text += UnescapeMarkup(t.body);
  return text;
}

// One file inside the zip, as text; "" when there is none.
std::string UnzipEntry(const fs::path& zip, const std::string& entry) {
  return RunProcess("/usr/bin/unzip", {"-p", zip.string(), entry}).out;
}

}  // namespace

std::string XlsxEntry(const fs::path& path, const std::string& entry) { return UnzipEntry(path, entry); }

std::string CellRef(int row, int col) {
  std::string letters;
  for (; col > 0; col = (col - 1) / 26) letters.insert(letters.begin(), char('A' + (col - 1) % 26));
  return letters + std::to_string(row);
}

std::string XlsxSheet::Text(const std::string& ref) const {
  const XlsxCell* c = Find(ref);
  return c ? c->text : "";
}

const XlsxCell* XlsxSheet::Find(const std::string& ref) const {
  auto it = cells.find(ref);
  return it == cells.end() ? nullptr : &it->second;
}

namespace {

std::vector<Element> SheetElements(const fs::path& path) {
  const std::string workbook = UnzipEntry(path, "xl/workbook.xml");
  if (workbook.empty()) throw std::runtime_error("not a workbook: " + path.string());
  return Elements(workbook, "sheet");
}

}  // namespace

std::vector<std::string> XlsxSheetNames(const fs::path& path) {
  std::vector<std::string> names;
  for (const Element& e : SheetElements(path))
    names.push_back(UnescapeMarkup(Attribute(e.attributes, "name")));
  return names;
}

std::vector<std::string> XlsxHiddenSheets(const fs::path& path) {
  std::vector<std::string> names;
  for (const Element& e : SheetElements(path))
    if (Attribute(e.attributes, "state") == "hidden")
      names.push_back(UnescapeMarkup(Attribute(e.attributes, "name")));
  return names;
}

// The workbook writer names the worksheets' files in workbook order.
XlsxSheet ReadXlsx(const fs::path& path, int index) {
  XlsxSheet sheet;
  sheet.name = XlsxSheetNames(path).at(size_t(index));

  std::vector<std::string> strings;
  for (const Element& si : Elements(UnzipEntry(path, "xl/sharedStrings.xml"), "si"))
    strings.push_back(Text(si.body));

  const std::string styles = UnzipEntry(path, "xl/styles.xml");
  std::vector<XlsxBorders> borders;
  for (const Element& b : Elements(styles, "border")) {
    auto side = [&](const char* name) {
      const std::vector<Element> e = Elements(b.body, name);
      return e.empty() ? std::string() : Attribute(e[0].attributes, "style");
    };
    borders.push_back({side("left"), side("right"), side("top"), side("bottom")});
  }
  std::vector<bool> bold;
  for (const Element& f : Elements(Elements(styles, "fonts").at(0).body, "font"))
    bold.push_back(f.body.find("<b/>") != std::string::npos);
  std::vector<XlsxCell> formats;  // cellXfs by index
  for (const Element& xf : Elements(Elements(styles, "cellXfs").at(0).body, "xf")) {
    XlsxCell f;
    f.borders = borders.at(size_t(std::stoi(Attribute(xf.attributes, "borderId"))));
    f.bold = bold.at(size_t(std::stoi(Attribute(xf.attributes, "fontId"))));
    const std::vector<Element> align = Elements(xf.body, "alignment");
    if (!align.empty()) {
      f.wrap = Attribute(align[0].attributes, "wrapText") == "1";
      f.centred = Attribute(align[0].attributes, "horizontal") == "center" &&
                  Attribute(align[0].attributes, "vertical") == "center";
    }
    formats.push_back(f);
  }

  const std::string xml = UnzipEntry(path, "xl/worksheets/sheet" + std::to_string(index + 1) + ".xml");
  for (const Element& format : Elements(xml, "sheetFormatPr")) {
    const std::string h = Attribute(format.attributes, "defaultRowHeight");
    if (!h.empty()) sheet.defaultHeight = std::stod(h);
  }
  // Stored widths carry the padding a spreadsheet adds to the width the user
  // gives; the user's width is what the layout names.
  for (const Element& col : Elements(xml, "col")) {
    const double stored = std::stod(Attribute(col.attributes, "width"));
    const double given = stored < 1 ? stored : std::round((stored - 0.7109375) * 100) / 100;
    for (int c = std::stoi(Attribute(col.attributes, "min"));
         c <= std::stoi(Attribute(col.attributes, "max")); ++c)
      sheet.widths[c] = given;
  }
  for (const Element& row : Elements(xml, "row")) {
    if (Attribute(row.attributes, "customHeight") == "1")
      sheet.heights[std::stoi(Attribute(row.attributes, "r"))] = std::stod(Attribute(row.attributes, "ht"));
    for (const Element& c : Elements(row.body, "c")) {
      const std::string s = Attribute(c.attributes, "s");
      XlsxCell cell = s.empty() ? XlsxCell{} : formats.at(size_t(std::stoi(s)));
      const std::vector<Element> v = Elements(c.body, "v");
      if (!v.empty())
        cell.text =
            Attribute(c.attributes, "t") == "s" ? strings.at(size_t(std::stoi(v[0].body))) : v[0].body;
      sheet.cells[Attribute(c.attributes, "r")] = cell;
    }
  }
  for (const Element& v : Elements(xml, "dataValidation")) {
    const std::vector<Element> formula = Elements(v.body, "formula1");
    sheet.lists[Attribute(v.attributes, "sqref")] = formula.empty() ? "" : UnescapeMarkup(formula[0].body);
  }
  for (const Element& m : Elements(xml, "mergeCell")) sheet.merges.push_back(Attribute(m.attributes, "ref"));
  return sheet;
}

}  // namespace orv::test
