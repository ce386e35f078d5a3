// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/publish/site_style.h"

namespace orv {

std::string_view SiteStylesheet() {
  // The palette is light enough for black text and distinct on a
  // black-and-white printout's grey scale as well; k0 … k11 follow the
  // site's course order, so 数学 has one colour on every page.
  return R"css(* { box-sizing: border-box; }
html { -webkit-text-size-adjust: 100%; }
body { margin: 0; font-family: "Noto Sans CJK SC", "PingFang SC", "Microsoft YaHei", sans-serif;
  color: #1d1d1f; background: #f6f7f9; line-height: 1.5; }
a { color: #0b57d0; }
header.site { background: #12355b; color: #fff; padding: .6em 1em; }
header.site a { color: #fff; text-decoration: none; font-weight: bold; }
header.site nav a { margin-right: 1.2em; }
main { max-width: 1200px; margin: 0 auto; padding: 1em; }
h1 { font-size: 1.6em; margin: .2em 0 .4em; }
h2 { font-size: 1.2em; margin: 1.2em 0 .4em; border-bottom: 2px solid #d0d7e2; }
.meta { color: #555; }
.search { margin: 1em 0; }
.search input { font-size: 1.1em; padding: .4em .6em; width: 100%; max-width: 24em; border: 1px solid #99a; border-radius: 4px; }
ul.names { list-style: none; padding: 0; display: flex; flex-wrap: wrap; gap: .4em; }
ul.names li { background: #fff; border: 1px solid #d0d7e2; border-radius: 4px; padding: .25em .6em; }
ul.names li a.ics { font-size: .8em; margin-left: .4em; color: #666; }
[hidden] { display: none !important; }
.empty { color: #777; }
table { border-collapse: collapse; background: #fff; }
th, td { border: 1px solid #c4cad4; padding: .3em .4em; text-align: center; vertical-align: middle; }
th { background: #eef1f5; font-weight: normal; }
table.week { width: 100%; table-layout: fixed; }
table.week th.no { width: 6em; }
table.week td { height: 3.4em; }
.bell { display: block; font-size: .75em; color: #666; }
.lesson { display: block; border-radius: 3px; padding: .15em .2em; }
.lesson b { display: block; font-weight: bold; }
.lesson small { display: block; font-size: .8em; color: #333; }
table.week tr.lunch td { height: .4em; padding: 0; background: #eef1f5; }
.days { display: none; }
.days section { background: #fff; border: 1px solid #d0d7e2; border-radius: 6px; margin: .6em 0; padding: .2em .8em .6em; }
.days h3 { margin: .4em 0; }
.days ol { list-style: none; margin: 0; padding: 0; }
.days li { display: flex; gap: .6em; align-items: center; padding: .25em 0; border-top: 1px solid #eee; }
.days li .no { min-width: 5.5em; color: #555; font-size: .9em; }
.days li .lesson { flex: 1; }
.scroll { overflow-x: auto; }
main:has(table.overview) { max-width: none; }
table.overview { font-size: .8em; }
table.overview td { min-width: 3.2em; padding: .15em; }
table.overview th.who { position: sticky; left: 0; background: #eef1f5; white-space: nowrap; }
.qr { display: none; }
.changes li { margin: .2em 0; }
footer { color: #777; font-size: .85em; text-align: center; padding: 1.5em 1em; }
.k0 { background: #ffd6d6; } .k1 { background: #d6e8ff; } .k2 { background: #d9f5d6; }
.k3 { background: #fff0c2; } .k4 { background: #ead9ff; } .k5 { background: #c9f2ee; }
.k6 { background: #ffe0c7; } .k7 { background: #e3e8cf; } .k8 { background: #f7d4ec; }
.k9 { background: #d4dcf7; } .k10 { background: #e8e1d3; } .k11 { background: #d1f0da; }
@media (max-width: 700px) {
  main { padding: .6em; }
  table.week { display: none; }
  .days { display: block; }
}
@media print {
  @page { size: A4 landscape; margin: 10mm; }
  body { background: #fff; font-size: 11pt; }
  header.site, nav, .search, footer, .downloads, .days { display: none !important; }
  main { max-width: none; padding: 0; }
  table.week { display: table !important; page-break-inside: avoid; break-inside: avoid; }
  table.week td { height: 3.4em; }
  table.overview { font-size: 6pt; }
  .lesson { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  .qr { display: block; float: right; width: 34mm; margin: 0 0 3mm 4mm; text-align: center; font-size: 7pt;
    overflow-wrap: anywhere; }
  .qr svg { width: 30mm; height: 30mm; }
  table.week { clear: both; }
  a { color: inherit; text-decoration: none; }
}
)css";
}

std::string_view SiteSearchScript() {
  return R"js((function () {
  var box = document.getElementById('q');
  if (!box) return;
  var items = document.querySelectorAll('[data-name]');
  var none = document.getElementById('nothing');
  function apply() {
    var text = box.value.trim().toLowerCase();
    var shown = 0;
    for (var i = 0; i < items.length; i++) {
      var hit = text === '' || items[i].getAttribute('data-name').toLowerCase().indexOf(text) >= 0;
      items[i].hidden = !hit;
      if (hit) shown++;
    }
    var groups = document.querySelectorAll('section.group');
    for (var g = 0; g < groups.length; g++)
      groups[g].hidden = text !== '' && groups[g].querySelector('[data-name]:not([hidden])') === null;
    if (none) none.hidden = shown > 0;
  }
  var m = /[?&]q=([^&]*)/.exec(location.search);
  if (m) {
    try { box.value = decodeURIComponent(m[1].replace(/\+/g, ' ')); } catch (e) { box.value = m[1]; }
  }
  box.addEventListener('input', apply);
  apply();
})();
)js";
}

}  // namespace orv
