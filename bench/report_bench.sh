#!/usr/bin/env bash
# --report over a 100 MB registration file: wall time and peak memory. report_bench.sh <horalog>
set -euo pipefail
program="$1"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config/horalog"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kvistborg\\Horalog]\n"Filnavn"="%s/Horalog.Dat"\n\n' \
    "$home" > "$home/config/horalog/HKEY_CURRENT_USER.reg"
# Three records a day from 1990 on, until the file holds 100 MB.
awk 'BEGIN {
    printf "dato;dag;komme;g\345;tid;periode;total;kommentar\r\n05-12-1990;0;-;-;-;0;150\r\n";
    size = 0; n = 0;
    while (size < 100 * 1024 * 1024) {
        day = int(n / 3); d = day % 28 + 1; m = int(day / 28) % 12 + 1; y = 1990 + int(day / 336);
        line = sprintf("%02d-%02d-%04d;%d;08:00;16:30;800;%d;%d;\r\n", d, m, y, n % 200, n % 100000, n % 99999);
        printf "%s", line; size += length(line); n++;
    }
}' > "$home/Horalog.Dat"
ls -l "$home/Horalog.Dat" | awk '{ printf "report over %.0f MB: ", $5 / 1048576 }'
HOME="$home" XDG_CONFIG_HOME="$home/config" /usr/bin/time -f "%e s, peak %M KB" \
    "$program" --report > /dev/null
