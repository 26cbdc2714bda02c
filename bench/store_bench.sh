#!/usr/bin/env bash
# --status over a 2 MB settings store (the program's key among many others, as an exported
# registry holds them); the store is read in time linear in its size. store_bench.sh <horalog>
set -euo pipefail
program="$1"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config/horalog"
printf 'dato;dag;komme;g\345;tid;periode;total;kommentar\r\n05-12-2026;0;-;-;-;0;150\r\n' \
    > "$home/Horalog.Dat"
mawk -v file="$home/Horalog.Dat" 'BEGIN {
    printf "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n\"Filnavn\"=\"%s\"\n\n", file
    size = 0
    for (i = 0; size < 2 * 1024 * 1024; i++) {
        line = sprintf("[HKEY_CURRENT_USER\\Software\\Andet\\Nøgle%d]\n\"Navn\"=\"Værdi %d\"\n\n", i, i)
        printf "%s", line; size += length(line)
    }
}' > "$home/config/horalog/HKEY_CURRENT_USER.reg"
HOME="$home" XDG_CONFIG_HOME="$home/config" /usr/bin/time -f "%e %M" -o "$home/status.time" \
    "$program" --status > "$home/status.out"
read -r seconds peak < "$home/status.time"
mawk -v size="$(stat -c %s "$home/config/horalog/HKEY_CURRENT_USER.reg")" -v s="$seconds" \
    -v p="$peak" -v line="$(cat "$home/status.out")" 'BEGIN {
    printf "--status over a %.1f MB store: %.2f s, peak %d KB (%s)\n", size / 1048576, s, p, line }'

# --status over a registration file whose last 100 MB are one line without a line end (a crash's
# tail): named as damaged after a look back of 64 KB, never read whole.
head -c $((100 * 1024 * 1024)) /dev/zero | tr '\0' 'x' >> "$home/Horalog.Dat"
HOME="$home" XDG_CONFIG_HOME="$home/config" /usr/bin/time -f "%e %M" -o "$home/status.time" \
    "$program" --status > /dev/null 2> "$home/status.err" || true
read -r seconds peak < <(tail -n 1 "$home/status.time")  # after time's note of the exit status
printf -- "--status over a 100 MB last line without line ends: %.2f s, peak %d KB (%s)\n" \
    "$seconds" "$peak" "$(head -n 1 "$home/status.err")"
