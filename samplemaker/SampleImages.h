// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SampleJson.h"

#include <QList>
#include <QString>

// The sample meter images: one per meter kind, plus PPFD-mode images of kinds 1 and 4.
namespace SampleImages {

QList<SampleImage> all();

// Writes every image into the existing directory `dir` (kind1.json, kind1-ppfd.json, ...,
// kind6.json); false with `error` set when a file cannot be written.
bool writeAll(const QString &dir, QString &error);

} // namespace SampleImages
