#!/usr/bin/env bash
# Peak memory and time of imports run by the program itself (morvek --import-csv and
# --import-xlsx into a new file), for registers of 100,000 and 1,000,000 employees and for
# hostile files: nesting, padding, a long shared string used by every row, short rows,
# one long field, a file past the size limit. Needs GNU time (Debian package "time").
#   bash bench/importpeak.sh [FOLDER]   (default /tmp/morvek-importpeak; files are kept there)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
morvek="$root/build/src/morvek"
generate="$root/build/bench/morvek_genregister"
dir="${1:-/tmp/morvek-importpeak}"
mkdir -p "$dir"
cd "$dir"
export QT_QPA_PLATFORM=offscreen

measure() { # label, then the import's arguments
  local label="$1"
  shift
  rm -f new.mdb new.mdb.importing*
  local said
  said=$(/usr/bin/time -f "TIME %e %M" "$morvek" "$@" --database new.mdb 2>&1 || true)
  local figures outcome
  figures=$(grep '^TIME' <<<"$said" | tail -1)
  outcome=$(grep -v '^TIME' <<<"$said" | grep -E '読み込みました|大きすぎ|長すぎ|多すぎ|取り込めない行|壊れ|読めません' | tail -1)
  printf '%-44s %8.2f s %8.0f MB  %s\n' "$label" "$(cut -d' ' -f2 <<<"$figures")" \
    "$(($(cut -d' ' -f3 <<<"$figures") / 1024))" "${outcome:0:90}"
}

for n in 100000 1000000; do
  if [ ! -f "r$n.mdb" ]; then
    "$generate" "r$n.mdb" "$n" 500 0 >/dev/null
  fi
  if [ ! -d "csv$n" ]; then
    mkdir "csv$n"
    "$morvek" --export-csv "csv$n" --database "r$n.mdb" >/dev/null
    "$morvek" --export-xlsx "x$n.xlsx" --database "r$n.mdb" >/dev/null
  fi
done

/usr/bin/python3 - <<'PY'
import os, zipfile
NS = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
WB = ('<workbook %s xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
      '<sheets><sheet name="社員" sheetId="1" r:id="rId1"/></sheets></workbook>' % NS)
RELS = ('<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>'
        '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
        '</Relationships>')
HEADER = '<row r="1"><c r="A1" t="inlineStr"><is><t>社員コード</t></is></c><c r="B1" t="inlineStr"><is><t>氏名</t></is></c>'

def book(name, rows, shared=''):
    if os.path.exists(name):
        return
    with zipfile.ZipFile(name, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('xl/workbook.xml', WB)
        z.writestr('xl/_rels/workbook.xml.rels', RELS)
        z.writestr('xl/sharedStrings.xml', '<sst %s>%s</sst>' % (NS, shared))
        z.writestr('xl/worksheets/sheet1.xml', '<worksheet %s><sheetData>%s</sheetData></worksheet>' % (NS, rows))

deep = '<si>' + '<r>' * 100000 + '<t>深い</t>' + '</r>' * 100000 + '</si>'
book('nested.xlsx', HEADER + '</row><row r="2"><c r="A2"><v>1</v></c><c r="B2" t="s"><v>0</v></c></row>', deep)
wide = HEADER + ''.join('<c t="inlineStr"><is><t>列%d</t></is></c>' % i for i in range(3, 257)) + '</row>'
for count, name in ((100000, 'padded-100k.xlsx'), (1000000, 'padded-1m.xlsx')):
    book(name, wide + ''.join('<row><c><v>%d</v></c></row>' % i for i in range(2, count + 2)))
book('longshared.xlsx', HEADER + '</row>' + ''.join(
    '<row r="%d"><c r="A%d"><v>%d</v></c><c r="B%d" t="s"><v>0</v></c></row>' % (i, i, i, i) for i in range(2, 100002)),
    '<si><t>%s</t></si>' % ('あ' * 100000))
for folder, body in (('shortrows', None), ('onefield', None)):
    os.makedirs(folder, exist_ok=True)
path = 'shortrows/社員.csv'
if not os.path.exists(path):
    with open(path, 'w', newline='') as f:
        f.write('社員コード,氏名\r\n')
        line = '1,a\r\n' * 10000
        while f.tell() < 99 * 1024 * 1024:
            f.write(line)
path = 'onefield/社員.csv'
if not os.path.exists(path):
    with open(path, 'w', newline='') as f:
        f.write('社員コード,氏名\r\n1,"')
        chunk = 'x' * (1 << 20)
        for _ in range(99):
            f.write(chunk)
        f.write('"\r\n')
os.makedirs('toolarge', exist_ok=True)
with open('toolarge/社員.csv', 'wb') as f:
    f.truncate(300 * 1024 * 1024)
PY

printf '%-44s %10s %11s  %s\n' "file" "time" "peak" "outcome"
measure "CSV, 100,000 employees" --import-csv csv100000
measure "Excel, 100,000 employees" --import-xlsx x100000.xlsx
measure "CSV, 1,000,000 employees" --import-csv csv1000000
measure "Excel, 1,000,000 employees" --import-xlsx x1000000.xlsx
measure "Excel, 100,000 nested runs" --import-xlsx nested.xlsx
measure "Excel, 256-column header, 100,000 rows" --import-xlsx padded-100k.xlsx
measure "Excel, 256-column header, 1,000,000 rows" --import-xlsx padded-1m.xlsx
measure "Excel, 100,000-char string in 100,000 rows" --import-xlsx longshared.xlsx
measure "CSV, 99 MB of short rows" --import-csv shortrows
measure "CSV, one field of 99 MB" --import-csv onefield
measure "CSV, a file of 300 MB" --import-csv toolarge
