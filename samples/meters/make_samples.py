#!/usr/bin/env python3
"""Writes the sample meter images of this folder (one per meter kind, plus PPFD-mode images
for kinds 1 and 4). Run it from anywhere; it only uses the standard library and always writes
the same files."""

import json
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
WAVELENGTHS = list(range(400, 701, 10))

NO_FLICKER = bytes.fromhex("AB181B6E")
INVALID_A = bytes.fromhex("F22B0E6E")
INVALID_B = bytes.fromhex("6405286E")


# ---- spectra (relative, then scaled to an illuminance) ------------------------------------

def planck(wl_nm, kelvin):
    wl = wl_nm * 1e-9
    return 1.0 / (wl ** 5 * (math.exp(1.4388e-2 / (wl * kelvin)) - 1.0))


def gauss(wl, centre, width):
    return math.exp(-0.5 * ((wl - centre) / width) ** 2)


def white_led(wl):
    return 1.0 * gauss(wl, 450, 10) + 0.75 * gauss(wl, 570, 55) + 0.25 * gauss(wl, 620, 35)


def incandescent(wl):
    return planck(wl, 2856) / planck(560, 2856)


def daylight(wl):
    # A 6500 K body with the dip around 480-520 nm that real daylight shows.
    return planck(wl, 6500) / planck(560, 6500) * (1.0 - 0.06 * gauss(wl, 490, 25))


def grow_light(wl):
    return 0.8 * gauss(wl, 450, 12) + 1.0 * gauss(wl, 660, 12) + 0.08 * gauss(wl, 560, 60)


def photopic(wl):
    um = wl / 1000.0
    return 1.019 * math.exp(-285.4 * (um - 0.559) ** 2)


def spectrum_for(shape, lux):
    """31 values in uW/cm2/nm whose photopic weighting gives about `lux`."""
    relative = [shape(wl) for wl in WAVELENGTHS]
    # E = 683 lm/W * sum(S[W/m2/nm] * V * 10 nm); 1 uW/cm2/nm = 0.01 W/m2/nm
    weighted = sum(s * 0.01 * photopic(wl) * 10 for s, wl in zip(relative, WAVELENGTHS)) * 683
    scale = lux / weighted
    return [round(s * scale, 3) for s in relative]


def photon_flux(spectrum, low=400, high=700):
    """umol/m2/s from a spectrum in uW/cm2/nm (10 nm steps)."""
    total = 0.0
    for s, wl in zip(spectrum, WAVELENGTHS):
        if low <= wl <= high:
            total += s * 0.01 * 10 * wl / 119.63
    return round(total, 2)


# ---- records ---------------------------------------------------------------------------

def words_to_hex(words):
    """49 words, each a float, an int (u32) or 4 raw bytes, to 392 hex digits."""
    assert len(words) == 49
    out = b""
    for w in words:
        if isinstance(w, bytes):
            out += w
        elif isinstance(w, int):
            out += struct.pack("<I", w)
        else:
            out += struct.pack("<f", w)
    return out.hex().upper()


def layout_a(lux, shape, cct, ra, sdcm, blh, flicker_hz=0.0, percent=0.0, uvi=0.0,
             temperature=24.5, humidity=45.0, uv_power=(0.0, 0.0), overrides=None):
    spectrum = spectrum_for(shape, lux)
    words = [0.0] * 49
    words[0:4] = [lux, round(lux * 1.04, 1), round(lux * 0.93, 1), round(lux * 0.99, 1)]
    words[4], words[5], words[6], words[7] = cct, uvi, flicker_hz, percent
    words[10], words[11], words[12], words[13], words[14] = ra, temperature, humidity, sdcm, blh
    words[15:46] = spectrum
    words[46], words[47] = uv_power
    for index, value in (overrides or {}).items():
        words[index] = value
    return words_to_hex(words)


def layout_b(ppfd_shape, lux, temperature=25.0, humidity=60.0, overrides=None):
    spectrum = spectrum_for(ppfd_shape, lux)
    ppfd = photon_flux(spectrum)
    words = [0.0] * 49
    words[0:31] = spectrum
    words[31:35] = [ppfd, round(ppfd * 1.05, 2), round(ppfd * 0.94, 2), round(ppfd * 0.99, 2)]
    words[35] = photon_flux(spectrum, 400, 500)
    words[36] = photon_flux(spectrum, 500, 600)
    words[37] = photon_flux(spectrum, 600, 700)
    words[38] = round(ppfd * 0.9, 2)
    words[39], words[40] = round(ppfd * 0.42, 2), round(ppfd * 0.31, 2)
    words[41], words[42] = temperature, humidity
    for index, value in (overrides or {}).items():
        words[index] = value
    return words_to_hex(words)


def layout_c(probe, power, energy, seconds):
    words = [0.0] * 49
    words[0] = probe
    words[1:5] = [power, round(power * 1.08, 1), round(power * 0.9, 1), round(power * 0.99, 1)]
    words[5] = round(0.9 / 1.08, 2)
    words[6] = energy
    words[7] = seconds
    return words_to_hex(words)


def name_slot(text):
    raw = text.encode("utf-8")[:13]
    return (raw + b"\0" * 16)[:16].hex().upper()


# ---- unit slots (rows of the 109-row unit table) -------------------------------------------

SPECTRAL = [24] * 31  # slots 15..45: uW/cm2/nm


def units(first15, uv=(0, 0), ppfd=(22,) * 8, chlorophyll=(22, 22)):
    slots = list(first15) + SPECTRAL + list(uv) + list(ppfd) + list(chlorophyll) + [0, 0]
    assert len(slots) == 60
    return slots


# Lux=5, K=18, UVI/Ra/SDCM plain numbers (1, 1 decimal; 3 for the hazard ratio), Hz=15,
# %=17, degC=19, RH=20
ILLUMINANCE_UNITS = units([5, 5, 5, 5, 18, 1, 15, 17, 0, 0, 1, 19, 20, 1, 3], uv=(11, 11))
LUMINANCE_UNITS = units([26, 26, 26, 26, 18, 1, 15, 17, 0, 0, 1, 19, 20, 1, 3])
# Probe power meter: probe column plain, power mW/cm2 (97), uniformity % (64), energy mJ/cm2
# (101), time s (108)
PROBE_UNITS = units([0, 97, 97, 97, 97, 64, 101, 108, 0, 0, 0, 19, 20, 0, 0])


def image(model, serial, firmware, date, unit_slots, records, names=None, mode=None):
    result = {
        "modelCode": model,
        "serialNo": serial,
        "firmwareVersion": firmware,
        "date": date,
        "unitSlots": unit_slots,
    }
    if mode is not None:
        result["mode"] = mode
    result["records"] = records
    if names is not None:
        result["names"] = names
    return result


def standard_records():
    return [
        layout_a(512.0, white_led, 4012.0, 82.4, 3.1, 0.112, flicker_hz=100.0, percent=4.2),
        layout_a(148.6, incandescent, 2861.0, 99.1, 1.4, 0.021, flicker_hz=100.0, percent=12.7),
        layout_a(21450.0, daylight, 6488.0, 97.6, 2.2, 0.356, uvi=2.1,
                 overrides={6: NO_FLICKER, 7: NO_FLICKER}),
        layout_a(736.0, white_led, 5630.0, 91.3, 4.8, 0.187,
                 overrides={5: INVALID_A, 6: NO_FLICKER, 7: NO_FLICKER}),
        layout_a(302.5, white_led, 3025.0, 80.2, 6.5, 0.064, flicker_hz=120.0, percent=31.5,
                 overrides={13: INVALID_B}),
        layout_a(0.4, incandescent, 2730.0, 98.7, 1.1, 0.002, overrides={4: INVALID_A, 10: INVALID_B}),
    ]


def ppfd_records():
    return [
        layout_b(grow_light, 9800.0, temperature=26.5, humidity=68.0),
        layout_b(white_led, 18500.0),
        layout_b(daylight, 54000.0, temperature=29.0, humidity=52.0),
        layout_b(grow_light, 1200.0, overrides={38: INVALID_A, 39: INVALID_B}),
    ]


def write(name, content):
    with open(os.path.join(HERE, name), "w", encoding="utf-8") as f:
        json.dump(content, f, indent=1, ensure_ascii=False)
        f.write("\n")


def main():
    write("kind1.json", image(1001, 10010001, 102, "2023-12-31", ILLUMINANCE_UNITS, standard_records(), mode=0))
    write("kind1-ppfd.json", image(1001, 10010002, 102, "2024-03-18", ILLUMINANCE_UNITS, ppfd_records(), mode=1))

    kind2 = [
        layout_a(1850.0, daylight, 6120.0, 0.0, 0.0, 0.0, uv_power=(412.35, 436.8)),
        layout_a(640.0, white_led, 4380.0, 0.0, 0.0, 0.0, uv_power=(3.42, 3.9)),
        layout_a(98000.0, daylight, 5790.0, 0.0, 0.0, 0.0, uv_power=(5120.0, 5388.5),
                 overrides={47: INVALID_A}),
    ]
    write("kind2.json", image(2001, 20010001, 101, "2024-02-05", ILLUMINANCE_UNITS, kind2))

    kind3 = [
        layout_a(215.3, white_led, 6420.0, 84.0, 0.0, 0.0, flicker_hz=60.0, percent=2.1),
        layout_a(1240.0, white_led, 9010.0, 72.5, 0.0, 0.0, overrides={6: NO_FLICKER, 7: NO_FLICKER}),
        layout_a(35.7, incandescent, 2950.0, 98.9, 0.0, 0.0, flicker_hz=100.0, percent=9.8),
    ]
    write("kind3.json", image(3001, 30010001, 100, "2024-05-20", LUMINANCE_UNITS, kind3))

    kind4_names = [name_slot("Office desk 1"), name_slot("Corridor"), name_slot("会议室"),
                   "00" * 16, name_slot("Stairs B2"), name_slot("Lab bench")]
    write("kind4.json", image(4001, 40010001, 105, "2024-06-11", ILLUMINANCE_UNITS, standard_records(),
                              names=kind4_names, mode=0))
    write("kind4-ppfd.json", image(4001, 40010002, 105, "2024-06-12", ILLUMINANCE_UNITS, ppfd_records(),
                                   names=[name_slot("Tomato bed 1"), name_slot("Lettuce rack"),
                                          name_slot("Greenhouse NW"), name_slot("Seedlings")], mode=1))

    kind5 = [
        layout_a(498.0, white_led, 4105.0, 83.7, 3.4, 0.118),
        layout_a(1012.0, daylight, 6402.0, 96.8, 1.9, 0.301),
        layout_a(87.0, incandescent, 2790.0, 99.3, 1.2, 0.015, overrides={14: INVALID_A}),
    ]
    write("kind5.json", image(5001, 50010001, 103, "2024-08-02", ILLUMINANCE_UNITS, kind5))

    kind6 = [
        layout_c(0xA000000F, 12.4, 372.0, 30.0),
        layout_c(0xA0000010, 86.1, 2583.0, 30.0),
        layout_c(0xA0000011, 3.7, 222.0, 60.0),
        layout_c(0xB0000001, 152.9, 1529.0, 10.0),
        layout_c(0xC0000099, 7.5, 75.0, 10.0),  # a probe the catalog does not know
    ]
    kind6_names = [name_slot("UV curing 365"), name_slot("Cabinet A"), name_slot("Belt line"),
                   name_slot("Lamp test"), name_slot("Spare probe")]
    write("kind6.json", image(6001, 60010001, 110, "2024-10-09", PROBE_UNITS, kind6, names=kind6_names))


if __name__ == "__main__":
    main()
