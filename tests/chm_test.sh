#!/usr/bin/env bash
# The compiled HTML Help file read back with Free Pascal's chmls, not with our own
# code: every topic of the help source is a page holding each of its lines, the
# table of contents names every topic, and Arabic pages declare right to left and
# UTF-8.
#   chm_test.sh FILE.chm SOURCE.txt
set -uo pipefail
chm="$1" source="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmls extractall "$chm" "$work/pages" >/dev/null 2>&1 || { echo "chmls cannot extract $chm"; exit 1; }
chmls extracttoc "$chm" "$work/toc" >/dev/null 2>&1 || { echo "chmls finds no contents in $chm"; exit 1; }
# HTML Help reads the contents in the project's code page, Windows-1256.
toc=$(iconv -f CP1256 -t UTF-8 "$work/toc") || { echo "the contents are not Windows-1256"; exit 1; }
failed=0 topics=0 lines=0
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }
escape() { sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g' -e "s/'/\&#39;/g" <<<"$1"; }
page=""
while IFS= read -r line || [ -n "$line" ]; do
  line="${line%$'\r'}"
  line="$(sed -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' <<<"$line")"
  case "$line" in
    "" | ";;"* | "=> "* | "title:"* | "copyright:"*) continue ;;
    "# "*)
      topics=$((topics + 1))
      title="${line#\# }" id="topic$topics"
      if [[ "$title" =~ ^(.*[^[:space:]])[[:space:]]*\{#([A-Za-z0-9._]+)\}$ ]]; then
        title="${BASH_REMATCH[1]}" id="${BASH_REMATCH[2]}"
      fi
      page="$work/pages/$id.htm"
      if [ ! -f "$page" ]; then fail "topic \"$title\": no page $id.htm"; page=""; continue; fi
      grep -qF "<title>$(escape "$title")</title>" "$page" || fail "$id.htm: not titled \"$title\""
      grep -qF "value=\"$(escape "$title")\"" <<<"$toc" && grep -qF "value=\"$id.htm\"" <<<"$toc" ||
        fail "the contents do not list \"$title\" ($id.htm)"
      grep -qi 'charset=utf-8' "$page" || fail "$id.htm: no UTF-8 charset"
      if [[ "${title:0:1}" == [A-Za-z] ]]; then
        grep -q '<html dir="ltr"' "$page" || fail "$id.htm: an English page not left to right"
      else
        grep -q '<html dir="rtl" lang="ar"' "$page" || fail "$id.htm: an Arabic page not right to left"
      fi
      ;;
    *)
      [ -n "$page" ] || continue
      lines=$((lines + 1))
      text="${line#\#\# }"
      grep -qF -- "$(escape "$text")" "$page" || fail "$(basename "$page"): lacks \"$text\""
      ;;
  esac
done <"$source"
[ "$topics" -gt 0 ] || fail "no topic in $source"
echo "$topics topics, $lines lines checked, $failed failed"
[ "$failed" -eq 0 ]
