#!/usr/bin/env python3
"""Generates src/contact/lotw_satellites.cpp, src/contact/lotw_bands.cpp, src/adif/lotw_tables.cpp and
src/station/ja_areas.cpp
from the configuration that LoTW's signing tool ships.

    scripts/gen-lotw-tables.py [config.xml [version]]

Without arguments it fetches Debian's package "trustedqsl" with apt-get download, unpacks it in a
temporary folder and reads usr/share/TrustedQSL/config.xml; the package version goes into the
generated files. Run it again when a newer trustedqsl adds satellites, and check the result in.

What it takes from config.xml:
  - the satellites' names (LoTW accepts these in SAT_NAME and no others), plus the other names in
    their descriptions as spellings to recognise ("AMSAT-OSCAR 85 (Fox-1A)" gives "Fox-1A" for AO-85);
  - the bands, with limits that ADIF 3.1.4's band table also allows (so that a band we write is
    right for both: TQSL's and ADIF's limits differ for 60m, 1.25m, 2.5mm, 2mm and submm);
  - the ADIF mode map: a mode as written (USB, FT4) to ADIF's MODE and SUBMODE (SSB/USB, MFSK/FT4);
  - Japan's prefectures (JA_PREFECTURE) and cities, guns and wards (JA_CITY_GUN_KU) with the codes
    TQSL compares MY_STATE and MY_CNTY with, each city under the prefecture whose list holds it in
    config.xml (its "dependency"), not the one its code's first digits suggest: TQSL checks a
    MY_CNTY only against the list of the MY_STATE given.
"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SATELLITES_OUTPUT = os.path.join(ROOT, "src", "contact", "lotw_satellites.cpp")
OUTPUT = os.path.join(ROOT, "src", "adif", "lotw_tables.cpp")
BANDS_OUTPUT = os.path.join(ROOT, "src", "contact", "lotw_bands.cpp")
JA_OUTPUT = os.path.join(ROOT, "src", "station", "ja_areas.cpp")

# ADIF 3.1.4, Band enumeration: name, lower and upper limit in MHz.
ADIF_BANDS = [
    ("2190m", "0.1357", "0.1378"), ("630m", "0.472", "0.479"), ("560m", "0.501", "0.504"),
    ("160m", "1.8", "2.0"), ("80m", "3.5", "4.0"), ("60m", "5.06", "5.45"), ("40m", "7.0", "7.3"),
    ("30m", "10.1", "10.15"), ("20m", "14.0", "14.35"), ("17m", "18.068", "18.168"),
    ("15m", "21.0", "21.45"), ("12m", "24.890", "24.99"), ("10m", "28.0", "29.7"), ("8m", "40", "45"),
    ("6m", "50", "54"), ("5m", "54.000001", "69.9"), ("4m", "70", "71"), ("2m", "144", "148"),
    ("1.25m", "222", "225"), ("70cm", "420", "450"), ("33cm", "902", "928"), ("23cm", "1240", "1300"),
    ("13cm", "2300", "2450"), ("9cm", "3300", "3500"), ("6cm", "5650", "5925"), ("3cm", "10000", "10500"),
    ("1.25cm", "24000", "24250"), ("6mm", "47000", "47200"), ("4mm", "75500", "81000"),
    ("2.5mm", "119980", "123000"), ("2mm", "134000", "149000"), ("1mm", "241000", "250000"),
    ("submm", "300000", "7500000"),
]

# Spellings of trackers that no description gives.
EXTRA_SPELLINGS = [("ISS", "ARISS")]


def hertz(text, unit):
    """Exact hertz of a decimal text in the given unit (1000 for kHz, 10**6 for MHz)."""
    whole, _, fraction = text.partition(".")
    digits = len(str(unit)) - 1
    fraction = (fraction + "0" * digits)[:digits]
    return int(whole or "0") * unit + int(fraction or "0")


def key(name):
    """The spelling without case, punctuation or leading zeros (contact::SpellingKey does the same)."""
    name = "".join(chr(ord(c) - 0xFEE0) if 0xFF01 <= ord(c) <= 0xFF5E else c for c in name)
    kept = re.sub(r"[^0-9A-Za-z\x80-\U0010ffff]", "", name).upper()
    return re.sub(r"\d+", lambda m: str(int(m.group(0))), kept)


def fetch():
    work = tempfile.mkdtemp(prefix="trustedqsl-")
    subprocess.run(["apt-get", "download", "trustedqsl"], cwd=work, check=True, stdout=subprocess.DEVNULL)
    deb = [f for f in os.listdir(work) if f.endswith(".deb")][0]
    version = subprocess.run(["dpkg-deb", "-f", os.path.join(work, deb), "Version"], check=True,
                             capture_output=True, text=True).stdout.strip()
    subprocess.run(["dpkg-deb", "-x", os.path.join(work, deb), os.path.join(work, "root")], check=True)
    return os.path.join(work, "root", "usr", "share", "TrustedQSL", "config.xml"), version


def c_string(text):
    if any(ord(c) > 126 or ord(c) < 32 for c in text):
        raise SystemExit(f"not plain ASCII: {text!r}")
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    if len(sys.argv) > 1:
        config, version = sys.argv[1], (sys.argv[2] if len(sys.argv) > 2 else "unknown")
    else:
        config, version = fetch()
    root = ET.parse(config).getroot()
    config_version = f'{root.get("majorversion")}.{root.get("minorversion")}'

    # Satellites: unique names in the order of the file.
    names, descriptions = [], {}
    for sat in root.iter("satellite"):
        name = sat.get("name")
        if name not in descriptions:
            names.append(name)
            descriptions[name] = (sat.text or "").strip()
    by_key = {}
    for name in names:
        if key(name) in by_key:
            raise SystemExit(f"two LoTW names read alike: {name}, {by_key[key(name)]}")
        by_key[key(name)] = name

    candidates = list(EXTRA_SPELLINGS)
    for name in names:
        text = descriptions[name]
        parts = re.findall(r"\(([^)]*)\)", text) + [re.sub(r"\([^)]*\)", " ", text)]
        for part in parts:
            candidates.extend((" ".join(piece.split()), name) for piece in part.split("/"))
    # A spelling that could mean two satellites ("Cubesat") is left out altogether.
    targets = {}
    for spelling, name in candidates:
        if not key(spelling) or key(spelling) in by_key:
            continue
        targets.setdefault(key(spelling), {})[spelling] = name
    aliases = []
    for k in sorted(targets):
        meant = set(targets[k].values())
        if len(meant) == 1:
            aliases.append((sorted(targets[k])[0], meant.pop()))

    # Bands: TQSL's, narrowed to what ADIF allows.
    adif = {name: (hertz(low, 10**6), hertz(high, 10**6)) for name, low, high in ADIF_BANDS}
    bands = []
    for band in root.find("bands"):
        name = band.text.strip().lower()
        unit = 1000 if band.get("spectrum") == "HF" else 10**6
        low, high = hertz(band.get("low"), unit), hertz(band.get("high"), unit)
        if name not in adif:
            raise SystemExit(f"TQSL band {name} is not in ADIF's band table")
        low, high = max(low, adif[name][0]), min(high, adif[name][1])
        if low > high:
            raise SystemExit(f"band {name}: TQSL's and ADIF's limits do not meet")
        bands.append((low, high, name))
    bands.sort()

    modes = []
    for m in root.find("adifmap"):
        modes.append((m.text.strip(), m.get("adif-mode"), m.get("adif-submode") or ""))
    modes.sort()

    def generated(header, namespace):
        return ["// Generated by scripts/gen-lotw-tables.py: do not edit.",
                f"// Source: Debian package trustedqsl {version}, usr/share/TrustedQSL/config.xml "
                f"(configuration {config_version}).",
                "", f'#include "{header}"', "", f"namespace zelmor::{namespace} {{", ""]

    def table(out, kind, name, rows):
        out.append("namespace {")
        out.append(f"{kind} const k{name}Rows[] = {{")
        out.extend(f"    {row}," for row in rows)
        out.append("};")
        out.append("}  // namespace")
        out.append(f"const Table<{kind}> k{name} = {{k{name}Rows, sizeof k{name}Rows / sizeof k{name}Rows[0]}};")
        out.append("")

    # The satellites go where both worked-before and the ADIF export can use them.
    out = generated("contact/lotw_satellites.h", "contact")
    table(out, "const char*", "LotwSatellites", [c_string(n) for n in names])
    table(out, "SatelliteSpelling", "LotwSpellings", [f"{{{c_string(a)}, {c_string(n)}}}" for a, n in aliases])
    out.append("}  // namespace zelmor::contact")
    with open(SATELLITES_OUTPUT, "w") as f:
        f.write("\n".join(out) + "\n")
    print(f"{SATELLITES_OUTPUT}: {len(names)} satellites, {len(aliases)} other spellings (trustedqsl {version})")

    # The bands too: a contact's band is matched with LoTW's confirmations as well as exported.
    out = generated("contact/bands.h", "contact")
    table(out, "Band", "Bands", [f"{{{c_string(n)}, {low}, {high}}}" for low, high, n in bands])
    out.append("}  // namespace zelmor::contact")
    with open(BANDS_OUTPUT, "w") as f:
        f.write("\n".join(out) + "\n")
    print(f"{BANDS_OUTPUT}: {len(bands)} bands (trustedqsl {version})")

    out = generated("adif/lotw_tables.h", "adif")
    out.append(f"const char kTqslVersion[] = {c_string(version)};")
    out.append("")
    table(out, "ModeName", "ModeNames", [f"{{{c_string(t)}, {c_string(m)}, {c_string(s)}}}" for t, m, s in modes])
    out.append("}  // namespace zelmor::adif")
    with open(OUTPUT, "w") as f:
        f.write("\n".join(out) + "\n")
    print(f"{OUTPUT}: {len(modes)} modes (trustedqsl {version})")
    write_ja_areas(root, version, config_version)


def enum_lists(root, field_id):
    """The <enums> lists of a location field: (dependency or None, [(code, name)...]) each."""
    fields = [f for f in root.iter("field") if f.get("Id") == field_id]
    if len(fields) != 1:
        raise SystemExit(f"config.xml has {len(fields)} fields {field_id}")
    return [(enums.get("dependency"), [(e.get("value"), (e.text or "").strip()) for e in enums.findall("enum")])
            for enums in fields[0].findall("enums")]


def write_ja_areas(root, version, config_version):
    lists = enum_lists(root, "JA_PREFECTURE")
    if len(lists) != 1 or lists[0][0] is not None:
        raise SystemExit("JA_PREFECTURE is expected as one list without dependency")
    prefectures = lists[0][1]
    prefecture_codes = {code for code, _ in prefectures}
    cities, seen = [], set()
    for dependency, entries in enum_lists(root, "JA_CITY_GUN_KU"):
        if dependency not in prefecture_codes:
            raise SystemExit(f"JA_CITY_GUN_KU list for unknown prefecture {dependency}")
        for code, name in entries:
            if code in seen:
                raise SystemExit(f"city/gun/ku code {code} twice: MY_CNTY would not say which")
            seen.add(code)
            cities.append((code, name, dependency))
    # Cities (four digits) each followed by its wards (six digits, the city's code and two more),
    # then the guns (five digits): the order of the JCC and JCG lists operators know.
    cities.sort(key=lambda c: (len(c[0]) == 5, c[0]))
    odd = [c for c in cities if not c[0].startswith(c[2])]

    out = []
    out.append("// Generated by scripts/gen-lotw-tables.py: do not edit.")
    out.append(f"// Source: Debian package trustedqsl {version}, usr/share/TrustedQSL/config.xml "
               f"(configuration {config_version}), fields JA_PREFECTURE and JA_CITY_GUN_KU.")
    for code, name, dependency in odd:
        out.append(f"// {code} {name} is listed under prefecture {dependency}, as TQSL lists it.")
    out.append("")
    out.append('#include "station/ja_areas.h"')
    out.append("")
    out.append("namespace zelmor::station {")
    out.append("")
    out.append(f"const char kJaAreasSource[] = {c_string(f'trustedqsl {version}, configuration {config_version}')};")
    out.append("")
    out.append("namespace {")
    out.append("const Prefecture kPrefectureRows[] = {")
    out.extend(f"    {{{c_string(code)}, {c_string(name)}}}," for code, name in prefectures)
    out.append("};")
    out.append("const CityGunKu kCityGunKuRows[] = {")
    out.extend(f"    {{{c_string(code)}, {c_string(name)}, {c_string(dep)}}}," for code, name, dep in cities)
    out.append("};")
    out.append("}  // namespace")
    out.append("")
    out.append("const Table<Prefecture> kPrefectures = {kPrefectureRows, sizeof kPrefectureRows / sizeof kPrefectureRows[0]};")
    out.append("const Table<CityGunKu> kCitiesGunsKu = {kCityGunKuRows, sizeof kCityGunKuRows / sizeof kCityGunKuRows[0]};")
    out.append("")
    out.append("}  // namespace zelmor::station")
    with open(JA_OUTPUT, "w") as f:
        f.write("\n".join(out) + "\n")
    print(f"{JA_OUTPUT}: {len(prefectures)} prefectures, {len(cities)} cities, guns and wards "
          f"(trustedqsl {version})")


if __name__ == "__main__":
    main()
