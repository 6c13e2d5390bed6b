#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the expected records-table texts of every sample meter image, in both languages.

An independent reading of the record format, written apart from the C++ decoder so the page
test compares two implementations: record words (little-endian floats), the three value markers,
name slots (13 bytes up to the first zero), probe numbers, the column layouts with their unit
slots, and fixed-point texts rounded half away from zero with the unit catalog's decimals.

Usage: make_golden.py SAMPLES_DIR CATALOG_DIR OUT_DIR
One file per image and language, <image>.<zh|en>.tsv: the header labels on the first line
(line breaks written as \\n), then one line per row, cells separated by tabs, the delete
button's text last.
"""
import configparser
import decimal
import json
import os
import struct
import sys

NO_FLICKER = bytes.fromhex("AB181B6E")
INVALID = (bytes.fromhex("F22B0E6E"), bytes.fromhex("6405286E"))

# (slot, chinese, english) per measurement column, and the record word of each column.
STANDARD = [(0, "照度", "Illuminance", 0), (1, "最大值", "MAX", 1), (2, "最小值", "MIN", 2),
            (3, "平均值", "AVG", 3), (4, "色温", "CCT", 4), (5, "紫外指数", "UVI", 5),
            (6, "闪烁频率", "Flic Freq", 6), (7, "波动深度", "Percent", 7), (10, "显色指数Ra", "Ra", 10),
            (11, "温度", "Temperature", 11), (12, "湿度", "Humidity", 12), (13, "色容差", "SDCM", 13),
            (14, "蓝光危害比", "BLHazard", 14)]
PPFD = [(48, "PPFD", "PPFD", 31), (49, "最大值", "MAX", 32), (50, "最小值", "MIN", 33), (51, "平均值", "AVG", 34),
        (52, "PPFD蓝", "PPFD Blue", 35), (53, "PPFD绿", "PPFD Green", 36), (54, "PPFD红", "PPFD Red", 37),
        (55, "YPFD", "YPFD", 38), (56, "叶绿素a", "Chlorophyll a", 39), (57, "叶绿素b", "Chlorophyll b", 40),
        (11, "温度", "Temperature", 41), (12, "湿度", "Humidity", 42)]
KIND2 = [(0, "照度", "Illuminance", 0), (1, "照度最大值", "Illuminance MAX", 1), (46, "紫外功率", "Power", 46),
         (47, "紫外功率最大值", "Power MAX", 47), (4, "色温", "CCT", 4)]
KIND3 = [(0, "亮度", "Luminance", 0), (1, "最大值", "MAX", 1), (2, "最小值", "MIN", 2), (3, "平均值", "AVG", 3),
         (4, "色温", "CCT", 4), (6, "闪烁频率", "Flic Freq", 6), (7, "波动深度", "Percent", 7),
         (10, "显色指数Ra", "Ra", 10)]
KIND5 = [(0, "照度", "Illuminance", 0), (1, "最大值", "MAX", 1), (2, "最小值", "MIN", 2), (3, "平均值", "AVG", 3),
         (4, "色温", "CCT", 4), (10, "显色指数Ra", "Ra", 10), (13, "色容差", "SDCM", 13),
         (14, "蓝光危害比", "BLHazard", 14)]
KIND6 = [(0, "探头型号", "Probe", "probe"), (1, "功率实时值", "Power RT", 1), (2, "功率最大值", "Power MAX", 2),
         (3, "功率最小值", "Power MIN", 3), (4, "功率平均值", "Power AVG", 4), (5, "功率均匀度", "Power UE", 5),
         (6, "能量实时值", "Energy", 6), (7, "测量时间", "Time", 7)]


def read_ini(path, pattern, first_key):
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    rows, n = [], 1
    while parser.has_section(pattern % n) and parser.get(pattern % n, first_key, fallback=""):
        rows.append(dict(parser.items(pattern % n)))
        n += 1
    return rows


def fixed(value, decimals):
    # A zero of either sign shows without a sign; a small negative value keeps its minus sign.
    if value == 0:
        value = 0.0
    quantum = decimal.Decimal(1).scaleb(-decimals)
    return format(decimal.Decimal(value).quantize(quantum, rounding=decimal.ROUND_HALF_UP), "f")


def layout(kind, mode):
    if kind in (1, 4):
        columns = PPFD if mode == 1 else STANDARD
        return kind == 4, columns
    return kind == 6, {2: KIND2, 3: KIND3, 5: KIND5, 6: KIND6}[kind]


def main():
    samples, catalogs, out = sys.argv[1:4]
    units = read_ini(os.path.join(catalogs, "unitno"), "Unit%d", "UnitNo")
    meters = read_ini(os.path.join(catalogs, "meterno"), "Device%d", "MeterNo")
    probes = {p["ProbeNo"]: p["ProbeName"] for p in read_ini(os.path.join(catalogs, "probeno"), "Probe%d", "ProbeNo")}
    for name in sorted(os.listdir(samples)):
        if not name.endswith(".json"):
            continue
        image = json.load(open(os.path.join(samples, name), encoding="utf-8"))
        kind = next(int(m["UIIndex"]) for m in meters if int(m["MeterNo"]) == image["modelCode"])
        mode = image.get("mode", 0)
        named, columns = layout(kind, mode)
        slots = image["unitSlots"]
        for lang, chinese in (("zh", True), ("en", False)):
            headers = ["名称" if chinese else "Test Name"] if named else []
            for slot, zh, en, _ in columns:
                unit = units[slots[slot]]["UnitName"]
                title = zh if chinese else en
                headers.append(title + ("\n(" + unit + ")" if unit else ""))
            headers.append("操作" if chinese else "Operation")
            lines = ["\t".join(h.replace("\n", "\\n") for h in headers)]
            for j, hexrecord in enumerate(image.get("records", [])):
                record = bytes.fromhex(hexrecord)
                cells = []
                if named:
                    slot = bytes.fromhex(image["names"][j])[:13]
                    cells.append(slot.split(b"\0", 1)[0].decode("utf-8", "replace"))
                for slot, _, _, word in columns:
                    decimals = int(units[slots[slot]]["DecimalNumber"])
                    if word == "probe":
                        number = record[3::-1].hex().upper()
                        cells.append(probes.get(number) or fixed(0.0, decimals))
                        continue
                    raw = record[4 * word:4 * word + 4]
                    if kind != 6 and raw == NO_FLICKER:
                        cells.append("无频闪" if chinese else "No")
                    elif kind != 6 and raw in INVALID:
                        cells.append("----")
                    else:
                        cells.append(fixed(struct.unpack("<f", raw)[0], decimals))
                cells.append("删除" if chinese else "Delete")
                lines.append("\t".join(cells))
            with open(os.path.join(out, "%s.%s.tsv" % (name[:-5], lang)), "w", encoding="utf-8") as f:
                f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
