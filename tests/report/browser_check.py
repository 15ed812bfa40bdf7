#!/usr/bin/env python3
"""Opens a report page in headless Chromium and checks what a reader sees.

    browser_check.py [--hostile] [--bidi] [--layout] [--control PLAIN.html] PAGE.html [SCREENSHOT.png]

Checks: no console error; no network request but the page itself; every
chart's SVG has a non-zero size; the rendered page is not blank (its pixels
are not all one colour); no status mark (retained, allocated, changed
group, single site) is drawn in a colour that marks a group. With
--layout, the page laid out at 420, 900 and 1400 pixels wide and printed
on A4: no two boxes of text overlap by more than a pixel, no text runs
past the page's edge or out of its figure, and the page itself never
scrolls sideways (a table may, inside its box, on a screen); in print no
box scrolls; on the narrowest screen every figure's text is at least 8
pixels high. With --hostile: the page holds no element the job's
texts could have created (only the elements the report writer uses, no
event-handler attributes, the hostile texts shown as text, a byte that is
not UTF-8 as \\xHH, a control character as U+FFFD); with --control, its
elements and their attribute names must be, in document order, exactly
those of the control page (the same run with plain names), so any element
a text made would show up. With
--bidi (the page of a job whose names hold bidi controls and right-to-left
letters): every text the writer wrote reads left to right, and every text
of the job stands between the texts before and after it, so that no name
reorders what follows it.

Exit status: 0 passed, 1 failed, 2 usage, 77 Chromium, its driver or the
Selenium bindings are not installed (a skipped test for CTest).
"""

import argparse
import base64
import json
import pathlib
import shutil
import sys
import tempfile

SKIP = 77

# Every element the report writer makes; anything else came from a text.
WRITER_ELEMENTS = {
    "html", "head", "meta", "title", "style", "body", "header", "nav", "main", "section",
    "footer", "div", "p", "h1", "h2", "h3", "h4", "a", "span", "strong", "code", "dl", "dt",
    "dd", "ul", "li", "table", "thead", "tbody", "tr", "th", "td", "figure", "figcaption",
    "svg", "desc", "defs", "g", "rect", "line", "path", "circle", "text", "pattern",
    "lineargradient", "stop", "details", "summary", "bdi",
}

# Texts of the hostile sample job that must appear on the page as text.
HOSTILE_TEXTS = [
    "<b>x</b>", "<script>", "<script>alert(1)</script>", "Tom & Jerry's \"farm\" <b>bold</b>",
    "<i>Trial</i> <script>alert('t')</script> & \"co\"", "<img src=x onerror=alert(1)>.CLS",
    "<b>job</b>&", "\ufffd", "\\xFF\\xFEBAD",
]

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-dev-shm-usage", "--window-size=1280,900", "--hide-scrollbars",
]

STRUCTURE_JS = """
return Array.from(document.querySelectorAll('*')).map(e =>
  e.tagName.toLowerCase() + '[' + Array.from(e.attributes).map(a => a.name).sort().join(',') + ']');
"""

HOSTILE_JS = """
const out = {tags: [], handlers: [], scripts: document.scripts.length};
for (const e of document.querySelectorAll('*')) {
  out.tags.push(e.tagName.toLowerCase());
  for (const a of e.attributes) {
    if (a.name.toLowerCase().startsWith('on') || /javascript:/i.test(a.value))
      out.handlers.push(e.tagName + ' ' + a.name);
  }
}
out.text = document.documentElement.textContent;
out.title = document.title;
return out;
"""

SVG_JS = """
return Array.from(document.querySelectorAll('svg')).filter(s => !s.parentElement.closest('svg'))
  .map(s => { const r = s.getBoundingClientRect();
              return {id: s.id, width: r.width, height: r.height,
                      label: s.getAttribute('aria-labelledby') || s.getAttribute('aria-label')}; });
"""

# With --bidi: the writer's texts read left to right and each isolated text
# of the job stands between the texts around it, on the page (<bdi>) and in
# the figures (U+2068 ... U+2069); where no element can stand (the title,
# tooltips, descriptions) every isolate is closed.
BIDI_JS = r"""
const OPEN = /[\u2066\u2067\u2068]/, CLOSE = '\u2069';
const CONTROLS = /[\u200e\u200f\u061c\u202a-\u202e\u2066-\u2069]/;
const RTL = /[\u0590-\u08ff\ufb1d-\ufdff\ufe70-\ufeff]/;
const failures = [];
const range = document.createRange();
// The visible characters of a text node from `from` to `to`, with their boxes.
function boxes(node, from, to) {
  const out = [];
  for (let i = from; i < to; i++) {
    if (/\s/.test(node.data[i])) continue;
    range.setStart(node, i);
    range.setEnd(node, i + 1);
    const r = range.getBoundingClientRect();
    if (r.width > 0 && r.height > 0) out.push({i: i, left: r.left, right: r.right, top: r.top, bottom: r.bottom});
  }
  return out;
}
function sameLine(a, b) {
  return Math.min(a.bottom, b.bottom) - Math.max(a.top, b.top) > 0.5 * Math.min(a.bottom - a.top, b.bottom - b.top);
}
function said(node) { return JSON.stringify(node.data.slice(0, 60)); }
// Writer's characters read left to right: each right of the one before it on its line.
function readsOn(list, what) {
  for (let k = 1; k < list.length; k++) {
    if (sameLine(list[k - 1], list[k]) && list[k].left < list[k - 1].left - 0.5) {
      failures.push('reads right to left: ' + what);
      return;
    }
  }
}
// An isolated text stands after the character before it and before the one after it.
function between(before, span, after, what) {
  if (before && sameLine(before, span) && span.left < before.right - 1)
    failures.push('stands left of the text before it: ' + what);
  if (after && sameLine(after, span) && after.left < span.right - 1)
    failures.push('stands right of the text after it: ' + what);
}
function extent(list) {
  return list.reduce((e, b) => ({left: Math.min(e.left, b.left), right: Math.max(e.right, b.right),
                                 top: Math.min(e.top, b.top), bottom: Math.max(e.bottom, b.bottom)}),
                     {left: Infinity, right: -Infinity, top: Infinity, bottom: -Infinity});
}
let html = 0, svg = 0, isolated = 0;
// The page: texts outside <bdi>, and each <bdi> between its neighbours.
const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
const texts = [];
for (let n = walker.nextNode(); n; n = walker.nextNode()) {
  if (!n.parentElement.closest('svg, style, title')) texts.push(n);
}
texts.forEach((n, k) => {
  if (n.parentElement.closest('bdi')) return;
  if (/[A-Za-z0-9]/.test(n.data) && !CONTROLS.test(n.data) && !RTL.test(n.data)) {
    readsOn(boxes(n, 0, n.data.length), said(n));
    html++;
  }
});
for (const bdi of document.querySelectorAll('bdi')) {
  const inside = texts.filter(t => bdi.contains(t));
  const own = [].concat(...inside.map(t => boxes(t, 0, t.data.length)));
  if (!own.length) continue;
  const first = texts.indexOf(inside[0]), last = texts.indexOf(inside[inside.length - 1]);
  let before = null, after = null;
  for (let k = first - 1; k >= 0 && !before; k--) { const b = boxes(texts[k], 0, texts[k].data.length); before = b[b.length - 1] || null; }
  for (let k = last + 1; k < texts.length && !after; k++) { after = boxes(texts[k], 0, texts[k].data.length)[0] || null; }
  // Lines of a name that wraps are judged by its first and last boxes.
  between(before, extent(own.filter(b => sameLine(b, own[0]))), null, JSON.stringify(bdi.textContent));
  between(null, extent(own.filter(b => sameLine(b, own[own.length - 1]))), after, JSON.stringify(bdi.textContent));
  isolated++;
}
// The figures: in each unturned text, the writer's characters read left to
// right and each isolated text stands between them.
for (const t of document.querySelectorAll('svg text:not([transform])')) {
  for (const n of t.childNodes) {
    if (n.nodeType !== Node.TEXT_NODE) continue;
    const writer = [];
    let depth = 0, start = -1, pending = null;
    for (let i = 0; i < n.data.length; i++) {
      const c = n.data[i];
      if (OPEN.test(c)) { if (depth++ === 0) start = i; continue; }
      if (c === CLOSE && depth > 0) {
        if (--depth === 0) {
          const own = boxes(n, start + 1, i);
          if (own.length) { pending = {span: extent(own), before: writer[writer.length - 1] || null}; isolated++; }
        }
        continue;
      }
      if (depth > 0) continue;
      const b = boxes(n, i, i + 1)[0];
      if (!b) continue;
      if (pending) { between(pending.before, pending.span, b, said(n)); pending = null; }
      writer.push(b);
    }
    if (pending) between(pending.before, pending.span, null, said(n));
    if (depth) failures.push('an isolate left open: ' + said(n));
    readsOn(writer, said(n));
    svg++;
  }
}
// Where no element can stand: every isolate closed, none closed twice.
const flat = [document.title].concat(Array.from(document.querySelectorAll('svg title, svg desc'), e => e.textContent));
for (const s of flat) {
  let depth = 0;
  for (const c of s) {
    if (OPEN.test(c)) depth++;
    else if (c === CLOSE && --depth < 0) break;
  }
  if (depth) failures.push('isolates not balanced: ' + JSON.stringify(s.slice(0, 60)));
}
return {failures: failures, html: html, svg: svg, isolated: isolated, title: document.title};
"""

# The colours of the elements that show a group and of the status marks,
# as the browser computes them.
MARKS_JS = """
const colours = e => { const s = getComputedStyle(e);
  return [s.fill, s.stroke, s.backgroundColor, s.borderTopColor, s.color]
    .filter(c => c && c !== 'none' && !/rgba\(.*, 0\)$/.test(c)); };
const group = new Set();
for (const e of document.querySelectorAll('.group')) {
  const s = getComputedStyle(e);
  group.add(e instanceof SVGElement ? s.fill : s.backgroundColor);
}
const marks = Array.from(document.querySelectorAll('.status'));
const wrong = [];
for (const e of marks) {
  for (const c of colours(e)) if (group.has(c)) wrong.push(e.tagName + ' ' + c);
}
return {groups: group.size, marks: marks.length, wrong: wrong};
"""

# The boxes of every text the reader sees, and what runs past the page's
# edge, out of its figure, or scrolls where it may not.
LAYOUT_JS = r"""
const print = arguments[0], narrow = arguments[1];
const width = document.documentElement.clientWidth;
const failures = [];
const clipped = new Map();
// The part of the page an element can show: its ancestors' boxes that clip.
function clipOf(e) {
  if (!e || e === document.body) return null;
  if (clipped.has(e)) return clipped.get(e);
  let clip = clipOf(e.parentElement);
  const s = getComputedStyle(e);
  if (!(e instanceof SVGElement) && (s.overflowX !== 'visible' || s.overflowY !== 'visible')) {
    const r = e.getBoundingClientRect();
    clip = clip ? {left: Math.max(clip.left, r.left), right: Math.min(clip.right, r.right),
                   top: Math.max(clip.top, r.top), bottom: Math.min(clip.bottom, r.bottom)}
                : {left: r.left, right: r.right, top: r.top, bottom: r.bottom};
  }
  clipped.set(e, clip);
  return clip;
}
// The part of a box that shows (its corners held inside the clip), or null.
function cut(poly, clip) {
  if (!clip) return poly;
  const xs = poly.map(p => p.x), ys = poly.map(p => p.y);
  if (Math.max(...xs) <= clip.left || Math.min(...xs) >= clip.right ||
      Math.max(...ys) <= clip.top || Math.min(...ys) >= clip.bottom) return null;
  return poly.map(p => ({x: Math.min(Math.max(p.x, clip.left), clip.right),
                         y: Math.min(Math.max(p.y, clip.top), clip.bottom)}));
}
const rectPoly = r => [{x: r.left, y: r.top}, {x: r.right, y: r.top}, {x: r.right, y: r.bottom}, {x: r.left, y: r.bottom}];
const boxes = [];
const said = t => JSON.stringify(t.replace(/\s+/g, ' ').trim().slice(0, 40));
// Page text, a box per line of each text node.
const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
const range = document.createRange();
for (let n = walker.nextNode(); n; n = walker.nextNode()) {
  if (!n.data.trim() || n.parentElement.closest('svg, style, title, script')) continue;
  range.selectNodeContents(n);
  for (const r of range.getClientRects()) {
    if (r.width < 0.5 || r.height < 0.5) continue;
    const poly = cut(rectPoly(r), clipOf(n.parentElement));
    if (poly) boxes.push({poly: poly, what: said(n.data), owner: n.parentElement});
  }
}
// Figure text, as the four corners of each text's box where it is drawn.
let smallest = Infinity;
for (const t of document.querySelectorAll('svg text')) {
  const b = t.getBBox(), m = t.getScreenCTM();
  if (!b.width || !m) continue;
  const corner = (x, y) => ({x: m.a * x + m.c * y + m.e, y: m.b * x + m.d * y + m.f});
  const poly = [corner(b.x, b.y), corner(b.x + b.width, b.y), corner(b.x + b.width, b.y + b.height), corner(b.x, b.y + b.height)];
  const svg = t.ownerSVGElement.closest('figure svg') || t.ownerSVGElement;
  const s = svg.getBoundingClientRect();
  for (const p of poly) {
    if (p.x < s.left - 1 || p.x > s.right + 1 || p.y < s.top - 1 || p.y > s.bottom + 1) {
      failures.push('runs out of its figure ' + svg.id + ': ' + said(t.textContent));
      break;
    }
  }
  smallest = Math.min(smallest, parseFloat(getComputedStyle(t).fontSize) * Math.hypot(m.a, m.b));
  const shown = cut(poly, clipOf(svg.parentElement));
  if (shown) boxes.push({poly: shown, what: said(t.textContent), owner: t});
}
if (narrow && smallest < 8) failures.push('figure text ' + smallest.toFixed(1) + ' pixels high');
// Two boxes overlap by more than a pixel when no axis of either separates
// them by less than that.
function depth(a, b) {
  let least = Infinity;
  for (const poly of [a, b]) {
    for (let i = 0; i < poly.length; i++) {
      const p = poly[i], q = poly[(i + 1) % poly.length];
      const len = Math.hypot(q.x - p.x, q.y - p.y);
      if (len < 1e-6) continue;
      const ax = -(q.y - p.y) / len, ay = (q.x - p.x) / len;
      const pa = a.map(v => v.x * ax + v.y * ay), pb = b.map(v => v.x * ax + v.y * ay);
      least = Math.min(least, Math.min(Math.max(...pa), Math.max(...pb)) - Math.max(Math.min(...pa), Math.min(...pb)));
    }
  }
  return least;
}
for (const b of boxes) {
  const xs = b.poly.map(p => p.x), ys = b.poly.map(p => p.y);
  b.left = Math.min(...xs); b.right = Math.max(...xs); b.top = Math.min(...ys); b.bottom = Math.max(...ys);
  if (b.left < -1 || b.right > width + 1) failures.push('runs past the page edge: ' + b.what);
}
boxes.sort((a, b) => a.top - b.top);
let overlaps = 0;
for (let i = 0; i < boxes.length; i++) {
  for (let j = i + 1; j < boxes.length && boxes[j].top < boxes[i].bottom - 1; j++) {
    const a = boxes[i], b = boxes[j];
    if (a.owner === b.owner || a.right - 1 <= b.left || b.right - 1 <= a.left) continue;
    if (depth(a.poly, b.poly) > 1 && overlaps++ < 20) failures.push('texts overlap: ' + a.what + ' and ' + b.what);
  }
}
if (document.documentElement.scrollWidth > width + 1)
  failures.push('the page is ' + document.documentElement.scrollWidth + ' pixels wide in ' + width);
for (const e of document.querySelectorAll('body *')) {
  const s = getComputedStyle(e);
  const scrolls = s.overflowX === 'auto' || s.overflowX === 'scroll';
  if (print && scrolls && e.getClientRects().length)
    failures.push('a box scrolls in print: ' + e.tagName + '.' + e.className);
}
return {failures: failures, texts: boxes.length};
"""

# A4 less the page's margins (12 mm each side), in CSS pixels.
A4_WIDTH = round((210 - 2 * 12) / 25.4 * 96)
LAYOUTS = [("420 px", 420, False), ("900 px", 900, False), ("1400 px", 1400, False),
           ("print on A4", A4_WIDTH, True)]

PIXELS_JS = """
const done = arguments[arguments.length - 1];
const img = new Image();
img.onload = () => {
  const c = document.createElement('canvas');
  c.width = img.width; c.height = img.height;
  const g = c.getContext('2d');
  g.drawImage(img, 0, 0);
  const d = g.getImageData(0, 0, c.width, c.height).data;
  let other = 0;
  for (let i = 0; i < d.length; i += 4)
    if (d[i] !== d[0] || d[i + 1] !== d[1] || d[i + 2] !== d[2]) other++;
  done({width: c.width, height: c.height, other: other});
};
img.onerror = () => done({error: 'the screenshot cannot be decoded'});
img.src = 'data:image/png;base64,' + arguments[0];
"""


def start(profile):
    """Headless Chromium under its driver, or None when either is missing."""
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError:
        print("skip: the Selenium bindings (python3-selenium) are not installed")
        return None
    browser = shutil.which("chromium") or "/usr/bin/chromium"
    driver = shutil.which("chromedriver") or "/usr/bin/chromedriver"
    if not pathlib.Path(browser).exists() or not pathlib.Path(driver).exists():
        print("skip: chromium and chromium-driver are not installed")
        return None
    options = webdriver.ChromeOptions()
    options.binary_location = browser
    for flag in CHROMIUM_FLAGS + ["--user-data-dir=" + profile]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    return webdriver.Chrome(service=Service(executable_path=driver), options=options)


def requests_made(driver, url):
    """URLs of the requests since the log was last read that the page made,
    or that went to the network whoever made them (the browser's own pages
    load from chrome:// and are none of the page's)."""
    urls = []
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message.get("method") != "Network.requestWillBeSent":
            continue
        params = message["params"]
        request = params["request"]["url"]
        scheme = request.split(":", 1)[0].lower()
        if (params.get("documentURL", "").split("#")[0] == url
                or scheme not in ("chrome", "chrome-untrusted", "devtools")):
            urls.append(request)
    return urls


def screenshot(driver, max_height):
    """The whole page as PNG bytes (up to max_height pixels high)."""
    height = driver.execute_script("return document.documentElement.scrollHeight")
    width = driver.execute_script("return document.documentElement.scrollWidth")
    clip = {"x": 0, "y": 0, "width": width, "height": min(height, max_height), "scale": 1}
    shot = driver.execute_cdp_cmd(
        "Page.captureScreenshot",
        {"format": "png", "captureBeyondViewport": True, "clip": clip})
    return base64.b64decode(shot["data"])


def structure(driver, page):
    driver.get(page.resolve().as_uri())
    return driver.execute_script(STRUCTURE_JS)


def check_layout(driver, url, fail):
    """The page at each width of LAYOUTS; the number of text boxes checked."""
    texts = 0
    for name, width, printed in LAYOUTS:
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": width, "height": 900, "deviceScaleFactor": 1,
                                "mobile": False})
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print" if printed else ""})
        driver.get(url)
        seen = driver.execute_script(LAYOUT_JS, printed, width == LAYOUTS[0][1])
        for failure in seen["failures"]:
            fail(name + ": " + failure)
        texts += seen["texts"]
    driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
    driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})
    return texts


def check(driver, args, fail):
    page = pathlib.Path(args.page)
    url = page.resolve().as_uri()
    driver.get("about:blank")
    driver.get_log("performance")  # what the browser loaded before the page
    driver.get_log("browser")
    driver.get(url)

    errors = [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"]
    for message in errors:
        fail("console error: " + message)
    requests = requests_made(driver, url)
    if url not in [r.split("#")[0] for r in requests]:
        fail("the performance log does not show the page's own request")
    for request in requests:
        if request.split("#")[0] != url:
            fail("network request: " + request)
    resources = driver.execute_script("return performance.getEntriesByType('resource').length")
    if resources:
        fail(f"{resources} resources loaded besides the page")

    charts = driver.execute_script(SVG_JS)
    if not charts:
        fail("no chart on the page")
    for chart in charts:
        if not chart["width"] or not chart["height"]:
            fail(f"chart {chart['id']} has size {chart['width']} x {chart['height']}")
        if not chart["label"]:
            fail(f"chart {chart['id']} has no text alternative")

    marks = driver.execute_script(MARKS_JS)
    for wrong in marks["wrong"]:
        fail("a status mark in a group colour: " + wrong)
    if charts and (not marks["groups"] or not marks["marks"]):
        fail(f"no group colour or no status mark to check: {marks}")

    if args.bidi:
        seen = driver.execute_script(BIDI_JS)
        for failure in seen["failures"]:
            fail(failure)
        if not seen["isolated"] or not seen["html"] or not seen["svg"]:
            fail(f"nothing to check: {seen}")

    if args.hostile:
        seen = driver.execute_script(HOSTILE_JS)
        strangers = sorted(set(seen["tags"]) - WRITER_ELEMENTS)
        if strangers:
            fail("elements the writer never makes: " + ", ".join(strangers))
        if seen["scripts"]:
            fail(f"{seen['scripts']} script elements")
        for handler in seen["handlers"]:
            fail("event handler or script URL: " + handler)
        for text in HOSTILE_TEXTS:
            if text not in seen["text"]:
                fail("not shown as text: " + repr(text))
        if "<script>" not in seen["title"]:
            fail("the document title lost its text: " + repr(seen["title"]))

    png = screenshot(driver, args.max_height)
    if args.screenshot:
        pathlib.Path(args.screenshot).write_bytes(png)
    driver.switch_to.new_window("tab")
    driver.get("about:blank")
    pixels = driver.execute_async_script(PIXELS_JS, base64.b64encode(png).decode())
    if "error" in pixels:
        fail(pixels["error"])
    elif pixels["other"] < pixels["width"] * pixels["height"] // 100:
        fail(f"the screenshot is blank ({pixels['other']} pixels differ from the first)")

    if args.layout:
        args.texts = check_layout(driver, url, fail)

    if args.control:
        mine = structure(driver, page)
        theirs = structure(driver, pathlib.Path(args.control))
        if mine != theirs:
            at = next((i for i, (a, b) in enumerate(zip(mine, theirs)) if a != b),
                      min(len(mine), len(theirs)))
            fail(f"elements differ from the control page at element {at}: "
                 f"{mine[at:at + 3]} against {theirs[at:at + 3]} "
                 f"({len(mine)} elements against {len(theirs)})")
    return len(charts)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("page")
    parser.add_argument("screenshot", nargs="?")
    parser.add_argument("--hostile", action="store_true",
                        help="the page of the hostile sample job: no element from its texts")
    parser.add_argument("--bidi", action="store_true",
                        help="the page of the bidi sample job: its texts do not reorder the page")
    parser.add_argument("--control", help="a page of the same run with plain names")
    parser.add_argument("--layout", action="store_true",
                        help="lay the page out at 420, 900 and 1400 px and on A4: nothing overlaps "
                             "or runs off")
    parser.add_argument("--max-height", type=int, default=20000,
                        help="highest screenshot in pixels (default 20000)")
    args = parser.parse_args()
    if not pathlib.Path(args.page).is_file():
        print(f"browser_check: no page {args.page}", file=sys.stderr)
        return 2

    failures = []
    with tempfile.TemporaryDirectory(prefix="locseq-chromium-") as profile:
        driver = start(profile)
        if driver is None:
            return SKIP
        try:
            charts = check(driver, args, failures.append)
        finally:
            driver.quit()
    for failure in failures:
        print(f"browser_check: {args.page}: {failure}", file=sys.stderr)
    if failures:
        return 1
    print(f"browser_check: {args.page}: {charts} charts, no console error, no request"
          + (", no element from the job's texts" if args.hostile else "")
          + (", every text of the job isolated" if args.bidi else "")
          + (f", {args.texts} text boxes laid out at 420, 900, 1400 px and on A4 with no "
             "overlap and nothing past an edge" if args.layout else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
