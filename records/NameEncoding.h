// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

// The text of a record name as a meter stores it. Meters of this family store names in the 8-bit
// Chinese encoding of the systems they were made for (GBK, of which GB18030 is the superset);
// names written by newer tools are UTF-8. Bytes that are valid UTF-8 are read as UTF-8, so every
// UTF-8 name shows as it always has; any other bytes are read as GB18030. A name slot holds a fixed
// number of bytes, so a long name may be cut inside its last character: that incomplete character
// is dropped instead of showing as a replacement character.
namespace NameEncoding {

QString decode(QByteArrayView bytes);

} // namespace NameEncoding
