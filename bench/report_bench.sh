#!/usr/bin/env bash
# --report over a 100 MB registration file beside one pass of mawk, Debian's own awk, grouping
# the same file by month; the report must be no slower. Then --check and --chart over it. The settings store's own figure comes
# first (store_bench.sh). report_bench.sh <horalog>
set -euo pipefail
program="$1"
"$(dirname "$0")/store_bench.sh" "$program"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config/horalog"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n"Filnavn"="%s/Horalog.Dat"\n\n' \
    "$home" > "$home/config/horalog/HKEY_CURRENT_USER.reg"
# Three records a day from 1990 on, until the file holds 100 MB.
mawk 'BEGIN {
    printf "dato;dag;komme;g\345;tid;periode;total;kommentar\r\n05-12-1990;0;-;-;-;0;150\r\n";
    size = 0; n = 0;
    while (size < 100 * 1024 * 1024) {
        day = int(n / 3); d = day % 28 + 1; m = int(day / 28) % 12 + 1; y = 1990 + int(day / 336);
        line = sprintf("%02d-%02d-%04d;%d;08:00;16:30;800;%d;%d;\r\n", d, m, y, n % 200, n % 100000, n % 99999);
        printf "%s", line; size += length(line); n++;
    }
}' > "$home/Horalog.Dat"
HOME="$home" XDG_CONFIG_HOME="$home/config" /usr/bin/time -f "%e %M" -o "$home/report.time" \
    "$program" --report > /dev/null
# The report's work: days, time worked and off, resets and the last balance, month by month.
/usr/bin/time -f "%e" -o "$home/awk.time" mawk -F';' 'NF >= 7 && $1 != "dato" {
    m = substr($1, 7) "-" substr($1, 4, 2); flex[m] = $7
    if ($8 == "periode afsluttet/nulstillet") resets[m]++
    else if ($3 != "-") { days[m]++; worked[m] += $5 }
    else if ($5 != "-") off[m] -= $5
} END { for (m in flex) print m, days[m], worked[m], off[m], resets[m], flex[m] }' \
    "$home/Horalog.Dat" > /dev/null
read -r report peak < "$home/report.time"
read -r awk < "$home/awk.time"
mawk -v size="$(stat -c %s "$home/Horalog.Dat")" -v r="$report" -v p="$peak" -v a="$awk" 'BEGIN {
    printf "report over %.0f MB: %.2f s, peak %d KB; mawk: %.2f s; report/mawk %.2f\n",
        size / 1048576, r, p, a, r / a; exit r > a }'
# The working-time check and the overview's picture read the same file whole; each must take
# under a second.
for option in --check --chart="$home/chart.png"; do
    HOME="$home" XDG_CONFIG_HOME="$home/config" /usr/bin/time -f "%e %M" -o "$home/option.time" \
        "$program" "$option" > "$home/option.out"
    read -r seconds peak < "$home/option.time"
    mawk -v o="${option%%=*}" -v s="$seconds" -v p="$peak" -v n="$(wc -l < "$home/option.out")" \
        'BEGIN { printf "%s over 100 MB: %.2f s, peak %d KB, %d lines out\n", o, s, p, n; exit s >= 1 }'
done
