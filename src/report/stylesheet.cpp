#include "report/stylesheet.h"

#include "report/palette.h"

namespace locseq::report {
namespace {

// The style sheet with its colours by name: $NAME stands for the colour of
// the palette the style sheet calls NAME (see style_colour).
constexpr std::string_view kStyleSheet = R"css(
:root { --ink: $ink; --muted: $muted; --line: $rule; --soft: $soft; --accent: $accent; }
* { box-sizing: border-box; }
html { -webkit-text-size-adjust: 100%; }
body { margin: 0; color: var(--ink); background: $paper;
  font: 15px/1.55 system-ui, -apple-system, "Segoe UI", Roboto, "Helvetica Neue", Arial, sans-serif; }
header.top { background: var(--soft); border-bottom: 1px solid var(--line); }
header.top .inner, main, footer { max-width: 1280px; margin: 0 auto; padding: 0 28px; }
header.top .inner { padding-top: 22px; padding-bottom: 14px; }
.kicker { margin: 0; color: var(--muted); font-size: 13px; }
h1 { margin: 4px 0 10px; font-size: 26px; line-height: 1.25; font-weight: 650; overflow-wrap: anywhere; }
nav { display: flex; flex-wrap: wrap; gap: 4px 18px; font-size: 14px; }
nav a { color: var(--accent); text-decoration: none; }
nav a:hover { text-decoration: underline; }
.glance { margin: 22px 0 0; padding: 12px 18px; border: 1px solid var(--line); border-radius: 8px;
  background: $tint; }
.glance h2 { font-size: 16px; margin: 0 0 4px; }
.glance ul { margin: 0; padding-left: 20px; }
.glance li { margin: 3px 0; }
.glance li a:last-child { font-size: 13px; margin-left: 4px; }
section { padding: 26px 0 8px; border-bottom: 1px solid var(--line); }
section:last-of-type { border-bottom: 0; }
h2 { margin: 0 0 6px; font-size: 21px; font-weight: 650; }
h2 .n { color: var(--muted); font-weight: 500; margin-right: 8px; }
h3 { margin: 26px 0 6px; font-size: 17px; font-weight: 650; }
h4 { margin: 0 0 6px; font-size: 14px; font-weight: 650; }
p { margin: 6px 0 10px; max-width: 82ch; }
.lead { color: var(--muted); }
.finding { border-left: 4px solid var(--accent); background: $highlight; padding: 8px 14px; margin: 12px 0;
  max-width: 82ch; border-radius: 0 4px 4px 0; }
.facts { display: grid; grid-template-columns: repeat(auto-fill, minmax(150px, 1fr)); gap: 10px; margin: 14px 0; }
.fact { border: 1px solid var(--line); border-radius: 6px; padding: 8px 12px; background: $paper; }
.fact strong { display: block; font-size: 20px; font-weight: 650; font-variant-numeric: tabular-nums; }
.fact span { color: var(--muted); font-size: 13px; }
dl.meta { display: grid; grid-template-columns: max-content 1fr; gap: 4px 18px; margin: 10px 0 16px; }
dl.meta dt { color: var(--muted); }
dl.meta dd { margin: 0; overflow-wrap: anywhere; }
code { font-family: ui-monospace, "SFMono-Regular", Menlo, Consolas, monospace; font-size: 13px;
  background: var(--soft); padding: 1px 5px; border-radius: 4px; }
.scroll { overflow-x: auto; max-width: 100%; }
table { border-collapse: collapse; font-size: 13.5px; margin: 8px 0 14px; }
caption { text-align: left; color: var(--muted); padding-bottom: 4px; caption-side: top; }
th, td { padding: 4px 10px; border-bottom: 1px solid var(--line); text-align: left; vertical-align: top; }
th { font-weight: 600; background: var(--soft); white-space: nowrap; }
thead tr.group th { text-align: center; border-bottom: 0; }
td.num, th.num { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
td.na { color: var(--muted); }
td.nowrap { white-space: nowrap; }
tbody tr:nth-child(even) td { background: $tint; }
td.nearest { font-weight: 700; box-shadow: inset 0 0 0 2px var(--ink); }
.chip { display: inline-block; min-width: 24px; padding: 0 5px; border-radius: 4px; text-align: center;
  font-weight: 650; font-size: 12px; line-height: 18px; font-variant-numeric: tabular-nums; }
.badge { display: inline-block; padding: 0 6px; border: 1px solid var(--muted); border-radius: 9px;
  color: var(--muted); font-size: 11.5px; line-height: 16px; white-space: nowrap; }
.muted { color: var(--muted); }
figure { margin: 12px 0; max-width: 100%; overflow-x: auto; }
figure svg { max-width: 100%; height: auto; display: block; }
figcaption { color: var(--muted); font-size: 13px; margin-top: 4px; max-width: 82ch; }
.pair { display: flex; flex-wrap: wrap; gap: 10px 40px; align-items: flex-start; }
.pair > * { min-width: 0; flex: 0 1 auto; }
.pair > div { flex: 1 1 360px; }
a { color: var(--accent); text-decoration: none; }
a:hover { text-decoration: underline; }
table.wide th.row { position: sticky; left: 0; background: $paper; text-align: left; font-weight: 500; }
table.wide { font-size: 13px; }
table.wide td, table.wide th { padding: 3px 8px; }
table.wide thead th { white-space: normal; }
table.wide th.row { white-space: normal; min-width: 11em; max-width: 16em; }
table.wide th.row code { display: block; background: none; padding: 0; color: var(--muted); font-size: 11.5px; }
table.wide tr.part th { background: var(--soft); text-align: left; font-weight: 650; position: sticky; left: 0; }
table.wide td.best, table.wide th.best { background: $highlight; }
ul.moves { margin: 6px 0 12px; padding-left: 20px; }
ul.moves li { margin: 3px 0; }
ul.moves ul { margin: 2px 0 6px; padding-left: 20px; }
summary { cursor: pointer; color: var(--accent); }
.step { border: 1px solid var(--line); border-radius: 8px; padding: 4px 18px 10px; margin: 18px 0; }
.step h3 { margin-top: 14px; }
footer { color: var(--muted); font-size: 13px; padding-top: 18px; padding-bottom: 30px; }
@media (max-width: 600px) {
  header.top .inner, main, footer { padding-left: 14px; padding-right: 14px; }
  .step { padding: 4px 10px 10px; }
  dl.meta { grid-template-columns: 1fr; gap: 0; }
  dl.meta dd { margin-bottom: 6px; }
}
@page { size: A4; margin: 14mm 12mm; }
@media print {
  body { font-size: 13px; }
  header.top { background: none; border: 0; }
  header.top .inner, main, footer { max-width: none; padding-left: 0; padding-right: 0; }
  nav { display: none; }
  .scroll, figure { overflow: visible; }
  figure svg { min-width: 0 !important; }
  table.wide th.row, table.wide tr.part th { position: static; }
  h2, h3, h4, .glance h2 { break-after: avoid; page-break-after: avoid; }
  figure, tr, .finding, .fact, .glance li, ul.moves > li { break-inside: avoid; }
  .step { break-inside: avoid; }
  a { color: var(--ink); }
}
)css";

std::string with_colours(std::string_view sheet) {
  std::string out;
  out.reserve(sheet.size());
  for (std::size_t at = 0; at < sheet.size();) {
    const std::size_t dollar = sheet.find('$', at);
    out += sheet.substr(at, dollar - at);
    if (dollar == std::string_view::npos) break;
    std::size_t end = dollar + 1;
    while (end < sheet.size() && sheet[end] >= 'a' && sheet[end] <= 'z') ++end;
    const Colour* colour = style_colour(sheet.substr(dollar + 1, end - dollar - 1));
    out += colour ? css(*colour) : std::string(sheet.substr(dollar, end - dollar));
    at = end;
  }
  return out;
}

}  // namespace

const std::string& page_style() {
  static const std::string sheet = with_colours(kStyleSheet);
  return sheet;
}

}  // namespace locseq::report
