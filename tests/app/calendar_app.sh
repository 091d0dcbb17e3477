#!/usr/bin/env bash
# Calendars end to end: the monthly wizard with each of page 2's messages,
# its fonts' colour dialog and Finish; the keys it remembers and a second
# wizard starting from them; day texts on 1, 15 and 29 February 2000 through
# the schedule dialog, then Undo; Save As checked with fqtool; the page
# reopened through File Open after its photograph's source is gone; a
# yearly landscape page; a calendar file on the command line refused.
# Screenshots of the wizard's pages, both pages and the schedule dialog.
source "$(dirname "$0")/lib.sh"

work=$FQ_ARTIFACTS/calendar_app
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }
ini=$FQ_INI
# The program's settings file is shared with the other tests: this test
# starts without calendar keys and puts the file back when it ends.
fq_keep_ini
python3 - "$ini" <<'EOF'
import sys, re, os
p = sys.argv[1]
text = open(p, encoding="latin-1").read() if os.path.exists(p) else ""
text = re.sub(r"(?ims)^\[CAL_(MONTH|YEAR)\][^\[]*", "", text)
open(p, "w", encoding="latin-1").write(text)
EOF

/usr/bin/convert -size 640x480 gradient:navy-orange -fill white -draw "circle 320,240 320,100" \
  -quality 90 "$work/photo.jpg"
cp "$work/photo.jpg" "$work/second.jpg"
fqtool=$FQ_BUILD/fqtool
D() { fq_driver "$@" | tr -d '\r'; }
expect_eq() { [ "$1" = "$2" ] || fq_fail "$3: got '$1', want '$2'"; }
box_says() {  # the message box's text, then OK
  D dlg-wait Fotaquill 10000 >/dev/null || fq_fail "no message box for $2"
  local t
  t=$(D dlg-statics Fotaquill | tr '\n' '|')
  expect_eq "$t" "$1" "$2"
  D dlg-press Fotaquill 1 >/dev/null
  D dlg-gone Fotaquill 5000 >/dev/null || fq_fail "box stays: $2"
}

fq_start_app
fq_driver wait-window ORXDscFrame Fotaquill 30000 >/dev/null || fq_fail "no frame"

# --- The monthly wizard ------------------------------------------------------
D post-command 131 >/dev/null
D dlg-wait Calendar 15000 >/dev/null || fq_fail "no wizard"
expect_eq "$(D sheet-page)" 1 "first page"
expect_eq "$(D dlg-checked Calendar 1111)" 1 "portrait is the default"
sleep 0.5
fq_screenshot calendar_wizard_layout
D sheet-button next >/dev/null
sleep 0.5
expect_eq "$(D sheet-page)" 2 "second page"
this_year=$(date +%Y)
expect_eq "$(D dlg-text Calendar 1261)" "$this_year" "year field starts at today's year"
expect_eq "$(D dlg-text Calendar 1271)" "" "no picture remembered yet"

# Each message of page 2, and the wizard stays.
D dlg-set Calendar 1261 1998 >/dev/null
D sheet-button next >/dev/null
box_says 'Invalid "Image Select" and "Year, Month".|Please input again.|' "no picture, 1998"
D dlg-set Calendar 1271 "$(winpath "$work/photo.jpg")" >/dev/null
D dlg-set Calendar 1261 2100 >/dev/null
D sheet-button next >/dev/null
box_says 'Invalid "Year, Month".|Please input again.|' "year 2100"
D dlg-set Calendar 1261 2000 >/dev/null
D dlg-set Calendar 1263 13 >/dev/null
expect_eq "$(D dlg-text Calendar 1263)" 13 "month field"
D sheet-button next >/dev/null
box_says 'Invalid "Year, Month".|Please input again.|' "month 13"
D dlg-set Calendar 1263 2 >/dev/null
D dlg-set Calendar 1271 "$(winpath "$work/missing.jpg")" >/dev/null
D sheet-button next >/dev/null
box_says 'Invalid "Image Select".|Please input again.|' "a missing picture"
expect_eq "$(D sheet-page)" 2 "still on page 2"
# Typing keeps the leading digits only.
D dlg-set Calendar 1261 20 >/dev/null
D dlg-type Calendar 1261 x >/dev/null
expect_eq "$(D dlg-text Calendar 1261)" 20 "a letter after two digits"
D dlg-set Calendar 1261 2000x1 >/dev/null
expect_eq "$(D dlg-text Calendar 1261)" 2000 "typed year keeps its leading digits"
D dlg-set Calendar 1271 "$(winpath "$work/photo.jpg")" >/dev/null
expect_eq "$(D dlg-text Calendar 1201)" "February, 2000" "title choice 1201"
expect_eq "$(D dlg-text Calendar 1202)" "February" "title choice 1202"
sleep 0.3
fq_screenshot calendar_wizard_date
D sheet-button next >/dev/null
sleep 0.5
expect_eq "$(D sheet-page)" 3 "third page"

# The day numbers' font dialog: Sunday's colour through its colour button.
D dlg-click Calendar 1353 >/dev/null
D dlg-wait Font 10000 >/dev/null || fq_fail "no font dialog"
D dlg-click Font 1503 >/dev/null
sleep 0.3
D dlg-click Font 1551 >/dev/null
D dlg-wait Color 10000 >/dev/null || fq_fail "no colour dialog"
D dlg-set Color 706 200 >/dev/null
D dlg-set Color 707 0 >/dev/null
D dlg-set Color 708 100 >/dev/null
sleep 0.3
D dlg-press Color 1 >/dev/null
D dlg-gone Color 5000 >/dev/null || fq_fail "colour dialog stays"
D dlg-press Font 1 >/dev/null
D dlg-gone Font 5000 >/dev/null || fq_fail "font dialog stays"
sleep 0.3
fq_screenshot calendar_wizard_style
D sheet-button next >/dev/null
sleep 1
expect_eq "$(D sheet-page)" 4 "preview page"
fq_screenshot calendar_wizard_preview
D sheet-button finish >/dev/null
D dlg-gone Calendar 15000 >/dev/null || fq_fail "the wizard stays after Finish"
for i in $(seq 1 50); do D child-titles MYCALCLASS | grep -q '^Untitled' && break; sleep 0.2; done
title=$(D child-titles MYCALCLASS | head -1)
echo "calendar window: $title"
[[ $title == "Untitled "*"*"* ]] || fq_fail "calendar window title: $title"
sleep 0.5
fq_screenshot calendar_monthly_portrait

# What Finish remembered, in the wizard's order, heights with their sign.
keys=$(python3 - "$ini" <<'EOF'
import sys, re
text = open(sys.argv[1], encoding="latin-1").read()
m = re.search(r"(?ims)^\[CAL_MONTH\]\s*$(.*?)(^\[|\Z)", text)
print(" ".join(l.split("=")[0] for l in m.group(1).split("\n") if "=" in l))
print(dict(l.strip().split("=", 1) for l in m.group(1).split("\n") if "=" in l))
EOF
)
echo "$keys"
grep -q "^FullPath FileName Year Month CheckImage YFont YHeight YWidth YWeight YItalic ColorY WFont" <<<"$keys" ||
  fq_fail "keys out of order"
grep -q "'YHeight': '-64'" <<<"$keys" || fq_fail "title height not kept with its sign"
grep -q "'ClrDsun': '6553800'" <<<"$keys" || fq_fail "Sunday colour not kept (200,0,100)"
grep -q "'Year': '2000'" <<<"$keys" && grep -q "'Month': '2'" <<<"$keys" || fq_fail "date not kept"

# --- The schedule: texts on 1, 15 and 29 February 2000 -----------------------
D post-command 133 >/dev/null
D dlg-wait Schedule 10000 >/dev/null || fq_fail "no schedule dialog"
days=$(D dlg-combo-items Schedule 1601)
expect_eq "$(tail -1 <<<"$days")" "29" "February 2000 ends on the 29th"
expect_eq "$(head -1 <<<"$days")" " 1" "the first day"
D dlg-set Schedule 1602 "New moon" >/dev/null
D dlg-combo Schedule 1601 14 >/dev/null
sleep 0.2
D dlg-set Schedule 1602 "Mid" >/dev/null
D dlg-combo Schedule 1601 28 >/dev/null
sleep 0.2
D dlg-set Schedule 1602 "Leap day" >/dev/null
D dlg-set Schedule 1602 "Leap day 29" >/dev/null
expect_eq "$(D dlg-text Schedule 1602)" "Leap day" "an 11-character text is refused"
D dlg-click Schedule 1339 >/dev/null
sleep 0.3
fq_screenshot calendar_schedule
D dlg-press Schedule 1 >/dev/null
D dlg-gone Schedule 5000 >/dev/null || fq_fail "schedule dialog stays"
sleep 0.5
fq_screenshot calendar_monthly_schedule

# Undo takes the texts away again, a second Undo brings them back.
D post-command 178 >/dev/null
if D dlg-wait "Undo Check Message" 5000 >/dev/null; then
  D dlg-press "Undo Check Message" 6 >/dev/null
  sleep 0.5
  D post-command 107 >/dev/null
  D file-dialog "$(winpath "$work/undone")" 0 15000 >/dev/null || fq_fail "no Save As dialog"
  for i in $(seq 1 50); do [ -s "$work/undone.cal" ] && break; sleep 0.2; done
  "$fqtool" calendar info "$work/undone.cal" | grep -q '^day ' && fq_fail "undo left day texts"
  D post-command 178 >/dev/null
  D dlg-wait "Undo Check Message" 5000 >/dev/null || fq_fail "no second undo question"
  D dlg-press "Undo Check Message" 6 >/dev/null
  sleep 0.5
  undo=done
else
  undo=missing
  echo "NOTE: no undo question: the undo step is not in this build"
fi

# --- Save As: ".cal" appended, the file checked with fqtool ------------------
D post-command 107 >/dev/null
D file-dialog "$(winpath "$work/february")" 0 15000 >/dev/null || fq_fail "no Save As dialog"
for i in $(seq 1 50); do [ -s "$work/february.cal" ] && break; sleep 0.2; done
[ -s "$work/february.cal" ] || fq_fail "Save As wrote no february.cal"
"$fqtool" calendar info "$work/february.cal" >"$work/info.txt"
cat "$work/info.txt"
grep -qx 'Kind: 131 (monthly)' "$work/info.txt" || fq_fail "kind"
grep -qx 'Year: 2000' "$work/info.txt" && grep -qx 'Month: 2' "$work/info.txt" || fq_fail "date"
grep -qx 'photograph: 640x480, 24 bits' "$work/info.txt" || fq_fail "photograph"
grep -qx 'day 1: New moon' "$work/info.txt" || fq_fail "day 1"
grep -qx 'day 15: Mid' "$work/info.txt" || fq_fail "day 15"
grep -qx 'day 29: Leap day' "$work/info.txt" || fq_fail "day 29"
grep -qx 'SchedulePos: 1339' "$work/info.txt" || fq_fail "position"
grep -qx 'ClrDsun: 0x6400C8' "$work/info.txt" || fq_fail "Sunday colour"
grep -q '^FontY: face="Courier" height=-64' "$work/info.txt" || fq_fail "title font"
for i in $(seq 1 30); do D child-titles MYCALCLASS | grep -q '^february.cal' && break; sleep 0.2; done
D child-titles MYCALCLASS | grep -q '^february.cal \[' || fq_fail "title after Save As"

# --- Reopened through File Open after the photograph's source is gone -------
D post-command 106 >/dev/null
for i in $(seq 1 50); do [ -z "$(D child-titles MYCALCLASS)" ] && break; sleep 0.2; done
rm "$work/photo.jpg"
D post-command 100 >/dev/null
D file-dialog "$(winpath "$work/february.cal")" 0 15000 >/dev/null || fq_fail "no Open dialog"
for i in $(seq 1 50); do D child-titles ORXNormalChild | grep -q '^february.cal' && break; sleep 0.2; done
D child-titles ORXNormalChild | grep -q '^february.cal \[' || fq_fail "the calendar file did not open"
sleep 0.5
fq_screenshot calendar_reopened
D post-command 106 >/dev/null

# --- A second monthly wizard starts from the remembered keys ------------------
D post-command 131 >/dev/null
D dlg-wait Calendar 15000 >/dev/null || fq_fail "no second wizard"
D sheet-button next >/dev/null
sleep 0.5
expect_eq "$(D dlg-text Calendar 1261)" 2000 "remembered year"
expect_eq "$(D dlg-text Calendar 1263)" 2 "remembered month"
# The remembered photograph has gone: the path field stays empty.
expect_eq "$(D dlg-text Calendar 1271)" "" "a photograph that has gone"
D sheet-button cancel >/dev/null
D dlg-gone Calendar 5000 >/dev/null || fq_fail "cancel"

# --- A yearly landscape page --------------------------------------------------
D post-command 132 >/dev/null
D dlg-wait Calendar 15000 >/dev/null || fq_fail "no yearly wizard"
D dlg-click Calendar 1112 >/dev/null
sleep 0.2
D sheet-button next >/dev/null
sleep 0.5
D dlg-set Calendar 1271 "$(winpath "$work/second.jpg")" >/dev/null
D dlg-set Calendar 1261 2001 >/dev/null
D sheet-button next >/dev/null
sleep 0.5
D sheet-button next >/dev/null
sleep 1
D sheet-button finish >/dev/null
D dlg-gone Calendar 15000 >/dev/null || fq_fail "yearly wizard stays"
sleep 1
fq_screenshot calendar_yearly_landscape
D post-command 107 >/dev/null
D file-dialog "$(winpath "$work/year.CAL")" 0 15000 >/dev/null || fq_fail "no Save As for the yearly page"
for i in $(seq 1 50); do [ -s "$work/year.CAL" ] && break; sleep 0.2; done
"$fqtool" calendar info "$work/year.CAL" | grep -qx 'GroupI: 1112' || fq_fail "yearly landscape saved"

fq_driver close ORXDscFrame Fotaquill
fq_wait_app_exit 20 || true
timeout 20 wineserver -k 2>/dev/null || true

# --- A calendar file on the command line is refused ---------------------------
fq_start_app "$(winpath "$work/february.cal")"
fq_driver wait-window ORXDscFrame Fotaquill 30000 >/dev/null || fq_fail "no frame (second run)"
box_says 'There is no correspondence between this file.|' "a .cal on the command line"
fq_driver close ORXDscFrame Fotaquill
fq_wait_app_exit 20 || fq_fail "the program did not end"
[ "$undo" = done ] || fq_fail "undo of the schedule is missing"
echo "PASS"
