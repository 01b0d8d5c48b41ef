#!/bin/bash
# The Wine half of scripts/demo: runs inside scripts/with-wine, installs the
# sample product with the installer and reports what it did. Settings come
# from scripts/demo through KORVEX_DEMO_* variables.
set -uo pipefail
demo=$KORVEX_DEMO_DIR bin=$KORVEX_DEMO_BIN
product_code='{DF10335F-BC76-4CD8-956D-B73247C46AC2}'
language_pack_code='{5CED4213-25D8-4400-AAA1-F8A15BF9A95C}'
registry_key='SOFTWARE\Korvex Systems\Fenwyx Professional\180'
program_files="$WINEPREFIX/drive_c/Program Files/Korvex Systems"

win() { winepath -w "$1" 2>/dev/null; }
driver() { wine "$bin/KorvexUiDriver.exe" "$@" </dev/null 2>/dev/null; }
query() {
  local found
  found=$(wine reg query "$1" /s </dev/null 2>/dev/null | tr -d '\r' | sed '/^$/d')
  if [[ "$found" == HKEY* ]]; then sed 's/^/   /' <<<"$found"; else echo "   $1: none"; fi
}

if [[ "$KORVEX_DEMO_KEEP_INSTALLED" != 1 ]]; then
  for code in "$language_pack_code" "$product_code"; do
    wine msiexec /x "$code" /qn </dev/null >/dev/null 2>&1
  done
  for key in "HKLM\\$registry_key" "HKCU\\$registry_key" 'HKCU\SOFTWARE\Korvex Systems\ResourceLangID'; do
    wine reg delete "$key" /f </dev/null >/dev/null 2>&1
  done
  rm -f "$program_files/bin/Product.exe.runs.log"
fi
rm -f "$demo"/*.png "$demo/exit-code.txt" "$demo/message-boxes.jsonl" "$demo/watcher.stop"

switches=()
((KORVEX_DEMO_INTERACTIVE)) || switches+=(/s)
[[ -n "$KORVEX_DEMO_LANGUAGE" ]] && switches+=(/lang "$KORVEX_DEMO_LANGUAGE")

# Boxes are recorded; an offer to launch an installed copy is declined, any
# other box is confirmed, so that the run cannot hang on one.
printf 'already installed\tNo\t\trepeat\n' >"$demo/message-box-rules.txt"
wine "$bin/KorvexMsgBoxWatcher.exe" --log "$(win "$demo/message-boxes.jsonl")" \
  --rules "$(win "$demo/message-box-rules.txt")" --default OK --stop-file "$(win "$demo/watcher.stop")" \
  --timeout 900 </dev/null >/dev/null 2>&1 &
watcher=$!

export FENWYX_PREREQUISITE_RECORD
FENWYX_PREREQUISITE_RECORD=$(win "$demo/prerequisite-runs.log")
rm -f "$demo/prerequisite-runs.log"
wine "$bin/KorvexUiDriver.exe" run --exit-code-file "$(win "$demo/exit-code.txt")" -- \
  "$(win "$demo/installer/KorvexMasterInstaller.exe")" "${switches[@]}" </dev/null >/dev/null 2>&1 &
launcher=$!

if ((KORVEX_DEMO_INTERACTIVE)); then
  shot() { driver screenshot --raise --png "$(win "$demo/$1")" && echo "   saved build/demo/$1"; }
  if driver wait --id 133 --timeout 60000 >/dev/null; then   # settings page: Install
    sleep 1; shot 1-settings.png
    driver click --id 133
    # The download starts three seconds after the progress page shows and a
    # local install ends soon after, so the page is caught as it appears.
    if driver wait --id 122 --timeout 30000 >/dev/null; then  # progress page: status text
      shot 2-progress.png
    fi
    if driver wait --id 1 --timeout 600000 >/dev/null; then   # finish page: Start Now
      sleep 1; shot 3-finish.png
      driver click --id 1
    fi
  else
    echo "   the installer window did not appear"
  fi
fi
wait "$launcher"
launcher_status=$?
touch "$demo/watcher.stop"
wait "$watcher"

echo "== Message boxes shown"
if [[ -s "$demo/message-boxes.jsonl" ]]; then sed 's/^/   /' "$demo/message-boxes.jsonl"; else echo "   none"; fi
echo "== Requests the installer made"
served=$(grep -F '"Fenwyx Web Installer Client"' "$demo/site/nginx/access.log" 2>/dev/null | awk '{ print "   " $6 " " $7 " -> " $9 ", " $10 " bytes" }' | tr -d '"')
echo "${served:-   none}"
echo "== Installed files"
# The product's own start log is not part of the installation.
installed=$( [[ -d "$program_files" ]] && cd "$program_files" && find . -type f ! -name '*.runs.log' | sort |
  sed 's|^\./|   C:\\Program Files\\Korvex Systems\\|; s|/|\\|g')
echo "${installed:-   none}"
echo "== Registry values written"
query "HKLM\\$registry_key"
query "HKCU\\$registry_key"
query 'HKCU\SOFTWARE\Korvex Systems\ResourceLangID'
query 'HKLM\SOFTWARE\Korvex Systems\Fenwyx Pro Sample'
echo "== Prerequisite runs"
if [[ -s "$demo/prerequisite-runs.log" ]]; then sed 's/^/   /' "$demo/prerequisite-runs.log"; else echo "   none"; fi
echo "== Product starts"
if [[ -s "$program_files/bin/Product.exe.runs.log" ]]; then
  sed 's/^/   /' "$program_files/bin/Product.exe.runs.log"
else
  echo "   none"
fi
code=$(tr -d '\r\n' <"$demo/exit-code.txt" 2>/dev/null)
if [[ -n "$code" ]]; then
  echo "== Installer exit code: $code"
else
  # Linux sees only the low 8 bits of a Wine process's code.
  echo "== Installer exit code: unknown (the driver wrote none; it ended with status $launcher_status)"
fi
[[ "$code" == 0 ]]
