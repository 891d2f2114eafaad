"""Rules of the location database generator, on small made-up inputs.

Run: python3 -m unittest -v test_make_places_csv   (in tools/locdb)
"""

import csv
import io
import os
import tempfile
import unittest

import make_places_csv as m

ZONEINFO = "/usr/share/zoneinfo"


def city(geoname_id, name, country, admin1, population, ascii_name=None, fcode="PPL",
         elevation="", dem="100", zone="UTC", lat="10.5", lon="-20.25"):
    """One cities1000 row."""
    row = [""] * m.COLUMNS
    row[m.COL_ID], row[m.COL_NAME] = str(geoname_id), name
    row[m.COL_ASCII] = name if ascii_name is None else ascii_name
    row[m.COL_LAT], row[m.COL_LON], row[m.COL_FCODE] = lat, lon, fcode
    row[m.COL_COUNTRY], row[m.COL_ADMIN1], row[m.COL_POP] = country, admin1, str(population)
    row[m.COL_ELEV], row[m.COL_DEM], row[m.COL_TZ] = elevation, dem, zone
    return row


class NameRules(unittest.TestCase):
    def test_record_names(self):
        cases = [  # name, ASCII name, expected, how
            ("Zürich", "Zurich", "Zürich", "kept"),
            ("Mazār-e Sharīf", "Mazar-e Sharif", "Mazar-e Sharif", "ascii"),
            ("Washington, D.C.", "Washington, D.C.", "Washington", "comma"),
            ("A" * 31, "A" * 31, "A" * 31, "kept"),
            ("Nanchital de Lázaro Cárdenas del Río", "Nanchital de Lazaro Cardenas del Rio",
             "Nanchital de Lázaro Cárdenas de", "truncated"),
            ("Ḩamāh" + "x" * 40, "", "Hamah" + "x" * 26, "truncated"),
            ("Shīnḏanḏ", "", "Shindand", "ascii"),
            ("  Two   blanks ", "Two blanks", "Two blanks", "kept"),
        ]
        for name, ascii_name, expected, how in cases:
            with self.subTest(name=name):
                got = m.record_name(name, ascii_name)
                self.assertEqual(got, (expected, how))
                self.assertLessEqual(len(got[0].encode("cp1252")), m.NAME_BYTES)

    def test_database_names(self):
        cases = [  # ISO 3166-1 entry, expected
            ({"name": "Korea, Republic of", "common_name": "South Korea"}, "South Korea"),
            ({"name": "Virgin Islands, U.S."}, "US Virgin Islands"),
            ({"name": "Virgin Islands, British"}, "British Virgin Islands"),
            ({"name": "Congo, The Democratic Republic of the"}, "Democratic Republic of the Congo"),
            ({"name": "Micronesia, Federated States of"}, "Federated States of Micronesia"),
            ({"name": "Bonaire, Sint Eustatius and Saba"}, "Bonaire - Sint Eustatius and Saba"),
            ({"name": "St. Helena [x]"}, "St Helena"),
            ({"name": "Isles A/B (C) [D: E]"}, "Isles A-B (C)"),
            ({"name": "Türkiye"}, "Türkiye"),
            (None, "XK"),
        ]
        for entry, expected in cases:
            with self.subTest(entry=entry):
                self.assertEqual(m.database_name(entry, "XK"), expected)

    def test_region_keys(self):
        cases = [
            ("Wales [Cymru GB-CYM]", "Wales"),
            ("wallonne, Région", "Région wallonne"),
            ("Praha, Hlavní město", "Hlavní mesto Praha"),
            ("Armagh City, Banbridge and Craigavon", "Armagh City - Banbridge and Craigavon"),
            ("Tan-Tan (EH-partial)", "Tan-Tan"),
            ("Ilocos (Region I)", "Ilocos (Region I)"),
            ("Āz̄ārbāyjān-e Shārqī", "Azarbayjan-e Sharqi"),
            ("Adıyaman", "Adiyaman"),
            ("a=b", "a-b"),
            ("; [x", "x"),
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                self.assertEqual(m.region_key(text), expected)


class RegionNames(unittest.TestCase):
    def test_iso_names_only_where_the_code_means_the_same_division(self):
        divisions = {"US-CO": "Colorado", "JP-40": "Fukuoka", "TR-07": "Antalya",
                     "NO-21": "Svalbard (Arctic Region)", "NO-30": "Viken",
                     "XY-01": "North", "XY-02": "Bay"}
        rows = [city(1, "Denver", "US", "CO", 700000, fcode="PPLA"),
                city(2, "Tokyo", "JP", "40", 8000000, fcode="PPLA"),
                city(3, "Antalya", "TR", "07", 900000, fcode="PPLA"),
                city(4, "Trondheim", "NO", "21", 150000, fcode="PPLA"),
                city(5, "Drammen", "NO", "30", 60000, fcode="PPLA"),
                city(6, "Monaco", "MC", "00", 30000),
                city(7, "Big Bay", "XY", "03", 90000),
                city(8, "Bay", "XY", "02", 20000, fcode="PPLA"),
                city(9, "Small Bay", "XY", "02", 40000),
                city(10, "Bay", "XY", "04", 20000)]
        expected = {
            ("US", "CO"): "Colorado",  # a country whose codes are ISO codes
            ("JP", "40"): "40 (Tokyo)",  # JP-40 is another division
            ("TR", "07"): "Antalya",  # ISO division named like the seat
            ("NO", "21"): "21 (Trondheim)",  # listed exception
            ("NO", "30"): "Viken",
            ("MC", "00"): "Monaco",  # no code: the country's name
            ("XY", "03"): "03 (Big Bay)",  # no seat: the largest place
            ("XY", "02"): "Bay",  # ISO division named like its PPLA seat
            ("XY", "04"): "04 (Bay)",
        }
        country_db = {"US": "United States", "JP": "Japan", "TR": "Türkiye",
                      "NO": "Norway", "MC": "Monaco", "XY": "Xy"}
        names, from_iso = m.region_names(set(expected), country_db, divisions,
                                         m.division_seats(rows))
        self.assertEqual(names, expected)
        self.assertEqual(from_iso, {("US", "CO"), ("TR", "07"), ("NO", "30"), ("XY", "02")})

    def test_clashing_names_get_their_codes(self):
        rows = [city(1, "Alpha", "US", "01", 20000), city(2, "Beta", "US", "02", 20000)]
        names, _ = m.region_names({("US", "01"), ("US", "02")}, {"US": "United States"},
                                  {"US-01": "Same", "US-02": "same"}, m.division_seats(rows))
        self.assertEqual(names, {("US", "01"): "Same (01)", ("US", "02"): "same (02)"})


@unittest.skipUnless(os.path.isdir(ZONEINFO), "no tzdata")
class TimeZones(unittest.TestCase):
    def test_standard_offsets(self):
        cases = [("America/Denver", -7), ("Asia/Kolkata", 5.5), ("Asia/Kathmandu", 5.75),
                 ("Australia/Sydney", 10), ("America/St_Johns", -3.5),
                 ("Europe/Dublin", 0), ("Europe/London", 0), ("UTC", 0)]
        for zone, hours in cases:
            with self.subTest(zone=zone):
                self.assertEqual(m.standard_offset_hours(zone, ZONEINFO), hours)

    def test_unknown_zone(self):
        with self.assertRaises(m.InputError):
            m.standard_offset_hours("Nowhere/Atlantis", ZONEINFO)


class Numbers(unittest.TestCase):
    def test_offset_text(self):
        for value, text in [(-7.0, "-7"), (5.5, "5.5"), (5.75, "5.75"), (-0.0, "0"),
                            (0.0, "0"), (-3.5, "-3.5"), (12.75, "12.75")]:
            with self.subTest(value=value):
                self.assertEqual(m.number_text(value), text)

    def test_altitude_columns(self):
        for elevation, dem, expected in [("1609", "1610", 1609), ("", "1610", 1610),
                                         ("-9999", "12", 12), ("0", "5", 0),
                                         ("", "-9999", None), ("", "", None), ("-28", "", -28)]:
            with self.subTest(elevation=elevation, dem=dem):
                self.assertEqual(m.altitude_of(city(1, "A", "US", "CO", 1, elevation=elevation,
                                                    dem=dem)), expected)


@unittest.skipUnless(os.path.isdir(ZONEINFO), "no tzdata")
class Table(unittest.TestCase):
    countries = {"US": {"name": "United States"}, "FR": {"name": "France"}}

    def build(self, rows):
        return m.build_rows(rows, self.countries, {"US-CO": "Colorado"}, ZONEINFO)

    def test_rows_and_counts(self):
        rows, counts = self.build([
            city(1, "Denver", "US", "CO", 15000, elevation="1609", zone="America/Denver"),
            city(2, "Tiny", "US", "CO", 14999),
            city(3, "Gone", "US", "CO", 90000, fcode="PPLH"),
            city(4, 'Say "Hi", Town', "FR", "11", 20000, dem="-9999", zone="Europe/Paris",
                 fcode="PPLA"),
        ])
        self.assertEqual(rows, [
            ["France", "11 (Say \"Hi\")", 'Say "Hi"', "10.5", "-20.25", "1", ""] + [""] * 7,
            ["United States", "Colorado", "Denver", "10.5", "-20.25", "-7", "1609"] + [""] * 7,
        ])
        self.assertEqual((counts["places"], counts["databases"], counts["regions"],
                          counts["altitude"], counts["names changed"]), (2, 2, 2, 1, {"comma": 1}))
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "places.csv")
            m.write_csv(rows, path)
            with open(path, "rb") as f:
                data = f.read()
        self.assertTrue(data.startswith(b"database,region,name,latitude,longitude,timezone,"
                                        b"altitude,cooling_db,cooling_wb,heating_db,wind_speed,"
                                        b"max_db,min_db,db_range\r\n"))
        self.assertEqual(list(csv.reader(io.StringIO(data.decode("utf-8"), newline="")))[1:],
                         rows)

    def test_two_countries_with_one_name(self):
        self.countries = {"US": {"name": "Same"}, "FR": {"name": "same"}}
        with self.assertRaises(m.InputError):
            self.build([city(1, "A", "US", "CO", 20000), city(2, "B", "FR", "11", 20000)])

    def test_bad_coordinates(self):
        with self.assertRaises(m.InputError):
            self.build([city(1, "A", "US", "CO", 20000, lat="91")])


if __name__ == "__main__":
    unittest.main()
