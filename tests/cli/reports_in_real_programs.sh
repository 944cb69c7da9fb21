#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Opens the DIF, CSV and HTML reports of velmora-cli in the programs people
# use: the DIF and CSV reports in LibreOffice Calc (converted headless to a
# flat OpenDocument spreadsheet, whose cells are then read; a CSV report of
# names and tags that look like formulas must leave Calc with no formula),
# the HTML report
# in libxml2's HTML parser (xmllint). Each check runs when its program is installed; with
# neither the test is skipped (exit code 77).
set -u
cli=$1
data=$(cd "$(dirname "$0")/../data/audio" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
ran=0

fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

# A volume TEST with the folder Rock holding a file whose name is markup with
# quotes and an ampersand, and one whose title is; a file in the root.
mkdir -p "$work/src/Rock"
cp "$data/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3" "$work/src/Rock/<b>x<i> & \"q\" one.mp3"
cp "$data/mpeg1_l3_vbr_xing.mp3" "$work/src/Rock/two.mp3"
cp "$data/mpeg1_l2_cbr192_48k_stereo.mp2" "$work/src/three.mp2"
"$cli" tag write --title 'Say "Hi" & <b>' "$work/src/Rock/two.mp3" || fail "tag write"
"$cli" scan "$work/src" -c "$work/c.col" --label TEST --serial ABCD-1234 || fail "scan"
columns=size,duration,bitrate,samplerate,mode,version,title,artist,album,track,year,comment,folders,files,date,volume
for format in dif csv html; do
  "$cli" report "$work/c.col" -o "$work/r.$format" --format "$format" \
    --rows collection,volume,folder,file --columns "$columns" || fail "report $format"
done

if command -v soffice >/dev/null && command -v python3 >/dev/null; then
  ran=1
  # A profile of its own, so that a running LibreOffice is not disturbed.
  soffice -env:UserInstallation="file://$work/profile" --headless \
    --convert-to fods --outdir "$work" "$work/r.dif" >/dev/null 2>&1
  if [ ! -f "$work/r.fods" ]; then
    fail "LibreOffice did not open r.dif"
  else
    python3 - "$work/r.fods" <<'PYTHON' || failures=$((failures + 1))
import sys
import xml.etree.ElementTree as ET

ns = {"table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
      "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
      "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0"}
def content(element):
    """The text of an element, with <text:s text:c="N"/> as N blanks."""
    text = element.text or ""
    for child in element:
        if child.tag == "{%s}s" % ns["text"]:
            text += " " * int(child.get("{%s}c" % ns["text"], "1"))
        else:
            text += content(child)
        text += child.tail or ""
    return text

rows = []
for row in ET.parse(sys.argv[1]).iterfind(".//table:table-row", ns):
    cells = []
    for cell in row.iterfind("table:table-cell", ns):
        repeated = int(cell.get("{%s}number-columns-repeated" % ns["table"], "1"))
        kind = cell.get("{%s}value-type" % ns["office"], "")
        text = "".join(content(p) for p in cell.iterfind("text:p", ns))
        cells += [(kind, text)] * min(repeated, 17 - len(cells))
        if len(cells) >= 17:
            break
    if any(text for _, text in cells):
        rows.append(cells + [("", "")] * (17 - len(cells)))

problems = []
def expect(what, got, wanted):
    if got != wanted:
        problems.append("%s: wanted %r, got %r" % (what, wanted, got))

# The heading, collection, volume, folder and three file rows.
expect("rows", len(rows), 7)
expect("headings", [t for _, t in rows[0]],
       ["Name", "Mb", "H:M:S", "Kbps", "Hz", "Channel mode", "MPEG", "Title", "Artist",
        "Album", "Track", "Year", "Comment", "Folder(s)", "File(s)", "Date", "Volume"])
expect("collection row", rows[1][0], ("string", "Collection c.col"))
expect("volume row", rows[2][0], ("string", "   TEST"))
expect("folder row", rows[3][0], ("string", "      Rock"))
name = rows[4][0]
expect("file name with markup and quotes", name, ("string", '         <b>x<i> & "q" one.mp3'))
expect("title with quotes", rows[5][7], ("string", 'Say "Hi" & <b>'))
for r in range(1, 7):
    expect("size of row %d is a number" % r, rows[r][1][0], "float")
    expect("duration of row %d is a time" % r, rows[r][2][0], "time")
for r in range(4, 7):
    expect("sample rate of row %d is a number" % r, rows[r][4][0], "float")
    expect("empty folder count of row %d" % r, rows[r][13], ("", ""))
expect("sample rates", [rows[r][4][1] for r in range(4, 7)], ["44100", "44100", "48000"])
expect("file counts", [rows[r][14] for r in range(1, 4)], [("float", "3"), ("float", "3"), ("float", "2")])
expect("error cells", [c for row in rows for c in row if c[1].startswith("#")], [])
for problem in problems:
    print("FAIL: DIF in LibreOffice Calc: " + problem)
sys.exit(1 if problems else 0)
PYTHON
  fi
  # CSV as the import dialog reads it with UTF-8, commas, double quotes,
  # English (USA) numbers and special numbers (times, dates) detected.
  soffice -env:UserInstallation="file://$work/profile" --headless \
    --infilter="CSV:44,34,76,1,,1033,false,true" --convert-to fods --outdir "$work/csv" \
    "$work/r.csv" >/dev/null 2>&1
  if [ ! -f "$work/csv/r.fods" ]; then
    fail "LibreOffice did not open r.csv"
  else
    python3 - "$work/csv/r.fods" <<'PYTHON' || failures=$((failures + 1))
import sys
import xml.etree.ElementTree as ET

ns = {"table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
      "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
      "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0"}
rows = []
for row in ET.parse(sys.argv[1]).iterfind(".//table:table-row", ns):
    cells = []
    for cell in row.iterfind("table:table-cell", ns):
        repeated = int(cell.get("{%s}number-columns-repeated" % ns["table"], "1"))
        kind = cell.get("{%s}value-type" % ns["office"], "")
        value = cell.get("{%s}value" % ns["office"]) or cell.get("{%s}date-value" % ns["office"])
        text = "".join("".join(p.itertext()) for p in cell.iterfind("text:p", ns))
        cells += [(kind, value or text)] * min(repeated, 18 - len(cells))
        if len(cells) >= 18:
            break
    if any(text for _, text in cells):
        rows.append(cells + [("", "")] * (18 - len(cells)))

problems = []
def expect(what, got, wanted):
    if got != wanted:
        problems.append("%s: wanted %r, got %r" % (what, wanted, got))

expect("rows", len(rows), 7)
expect("headings", [t for _, t in rows[0]],
       ["Level", "Name", "Mb", "H:M:S", "Kbps", "Hz", "Channel mode", "MPEG", "Title", "Artist",
        "Album", "Track", "Year", "Comment", "Folder(s)", "File(s)", "Date", "Volume"])
expect("levels", [rows[r][0] for r in range(1, 7)], [("float", str(n)) for n in (0, 1, 2, 3, 3, 2)])
expect("names", [rows[r][1][1] for r in range(1, 4)], ["Collection c.col", "TEST", "Rock"])
expect("file name with markup and quotes", rows[4][1], ("string", '<b>x<i> & "q" one.mp3'))
expect("title with quotes", rows[5][8], ("string", 'Say "Hi" & <b>'))
for r in range(1, 7):
    expect("size of row %d is a number" % r, rows[r][2][0], "float")
    expect("duration of row %d is a time" % r, rows[r][3][0], "time")
    expect("date of row %d is a date" % r, rows[r][16][0], "date")
expect("sample rates", [rows[r][5] for r in range(4, 7)], [("float", v) for v in ("44100", "44100", "48000")])
expect("file counts", [rows[r][15] for r in range(1, 4)], [("float", v) for v in ("3", "3", "2")])
expect("error cells", [c for row in rows for c in row if c[1].startswith("#")], [])
for problem in problems:
    print("FAIL: CSV in LibreOffice Calc: " + problem)
sys.exit(1 if problems else 0)
PYTHON
  fi
  # Names and tags that a spreadsheet would take for formulas: a volume
  # "=2*21", a folder calling HYPERLINK on another cell, tags beginning with
  # "+", "@" and "-". LibreOffice must read every one as the text it is,
  # led by the apostrophe that keeps it from being a formula, and evaluate
  # nothing, while the numbers stay numbers.
  mkdir -p "$work/formulas/=HYPERLINK(\"https:\"&B3,\"see\")"
  cp "$data/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3" "$work/formulas/=HYPERLINK(\"https:\"&B3,\"see\")/song.mp3"
  "$cli" tag write --title '+1+2' --artist '@SUM(1,2)' --album '-1+2' \
    "$work/formulas/=HYPERLINK(\"https:\"&B3,\"see\")/song.mp3" || fail "tag write of formulas"
  "$cli" scan "$work/formulas" -c "$work/f.col" --label '=2*21' --serial ABCD-4242 >/dev/null ||
    fail "scan of formulas"
  "$cli" report "$work/f.col" -o "$work/f.csv" --format csv --rows volume,folder,file \
    --columns size,title,artist,album || fail "report of formulas"
  soffice -env:UserInstallation="file://$work/profile" --headless \
    --infilter="CSV:44,34,76,1,,1033,false,true" --convert-to fods --outdir "$work/csv" \
    "$work/f.csv" >/dev/null 2>&1
  if [ ! -f "$work/csv/f.fods" ]; then
    fail "LibreOffice did not open f.csv"
  else
    python3 - "$work/csv/f.fods" <<'PYTHON' || failures=$((failures + 1))
import sys
import xml.etree.ElementTree as ET

ns = {"table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
      "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
      "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0"}
rows = []
formulas = []
for row in ET.parse(sys.argv[1]).iterfind(".//table:table-row", ns):
    cells = []
    for cell in row.iterfind("table:table-cell", ns):
        if cell.get("{%s}formula" % ns["table"]) is not None:
            formulas.append(cell.get("{%s}formula" % ns["table"]))
        repeated = int(cell.get("{%s}number-columns-repeated" % ns["table"], "1"))
        kind = cell.get("{%s}value-type" % ns["office"], "")
        text = "".join("".join(p.itertext()) for p in cell.iterfind("text:p", ns))
        cells += [(kind, text)] * min(repeated, 6 - len(cells))
        if len(cells) >= 6:
            break
    if any(text for _, text in cells):
        rows.append(cells + [("", "")] * (6 - len(cells)))

problems = []
def expect(what, got, wanted):
    if got != wanted:
        problems.append("%s: wanted %r, got %r" % (what, wanted, got))

expect("formulas evaluated", formulas, [])
expect("rows", len(rows), 4)
expect("volume name", rows[1][1], ("string", "'=2*21"))
expect("folder name", rows[2][1], ("string", "'=HYPERLINK(\"https:\"&B3,\"see\")"))
expect("file row", rows[3][1:], [("string", "song.mp3"), ("float", "0.02"), ("string", "'+1+2"),
                                  ("string", "'@SUM(1,2)"), ("string", "'-1+2")])
for problem in problems:
    print("FAIL: CSV with formula-like texts in LibreOffice Calc: " + problem)
sys.exit(1 if problems else 0)
PYTHON
  fi
else
  echo "LibreOffice Calc (soffice) or python3 not found: DIF and CSV checks skipped"
fi

if command -v xmllint >/dev/null; then
  ran=1
  errors=$(xmllint --html --noout "$work/r.html" 2>&1)
  [ -z "$errors" ] || fail "xmllint --html: $errors"
  xpath() { xmllint --html --xpath "$1" "$work/r.html" 2>/dev/null; }
  [ "$(xpath 'count(//table/tr)')" = 7 ] || fail "HTML table rows: $(xpath 'count(//table/tr)')"
  [ "$(xpath 'count(//tr[1]/th)')" = 17 ] || fail "HTML heading cells"
  [ "$(xpath 'count(//tr[5]/td)')" = 17 ] || fail "HTML file row cells"
  [ "$(xpath 'string(//tr[5]/td[1])')" = '......<b>x<i> & "q" one.mp3' ] ||
    fail "HTML file name cell: $(xpath 'string(//tr[5]/td[1])')"
  [ "$(xpath 'string(//tr[6]/td[8])')" = 'Say "Hi" & <b>' ] ||
    fail "HTML title cell: $(xpath 'string(//tr[6]/td[8])')"
  [ "$(xpath 'count(//b | //i | //script)')" = 0 ] || fail "HTML holds markup from the collection"
else
  echo "xmllint not found: HTML check skipped"
fi

if [ "$ran" -eq 0 ]; then
  exit 77
fi
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "reports open cleanly"
