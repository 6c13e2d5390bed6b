// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The fixed numbers of the meter family, defined once for the link, the protocol, the decoding,
// the virtual meter and the UHID device.
namespace MeterFacts {

// USB identity of every meter of the family.
constexpr quint16 VendorId = 0x2047;
constexpr quint16 ProductId = 0x0301;

// HID reports in both directions: report ID 0x3F, then a count byte (1..62), the payload and zero
// padding, 64 bytes in all.
constexpr quint8 ReportId = 0x3F;
constexpr int ReportSize = 64;
constexpr int MaxPayload = 62;

// The two read commands: memory of kinds without names and the first mode word are read with the
// first, record and name memory of kinds with names and the second mode word with the second.
constexpr quint8 ReadCommand = 0x40;
constexpr quint8 ReadCommandAlt = 0x41;

// A stored measurement record: 49 little-endian 32-bit words.
constexpr int RecordWords = 49;
constexpr int RecordSize = RecordWords * 4;
// A name slot of the name memory; only its first 13 bytes carry the name.
constexpr int NameSlotSize = 16;
constexpr int NameLength = 13;

// The unit-number table: unit slot k names the unit of the quantity stored in record word k.
constexpr int UnitSlotCount = 60;

// The spectrum of a record: 31 values from 400 nm to 700 nm in steps of 10 nm. Unit slot 15 + i
// holds the unit of the value at 400 + 10·i nm.
constexpr int SpectralValueCount = 31;
constexpr int FirstWavelength = 400;
constexpr int WavelengthStep = 10;
constexpr int FirstWavelengthSlot = 15;

} // namespace MeterFacts
