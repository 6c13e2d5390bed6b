// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockOutput.h"

#include "FileReplacement.h"

#include <QIODevice>

bool BlockOutput::append(const char *bytes, qsizetype size)
{
    if (failed)
        return false;
    block.append(bytes, size);
    return block.size() < BlockBytes || writeBlock();
}

bool BlockOutput::flush()
{
    return !failed && (block.isEmpty() || writeBlock());
}

bool BlockOutput::writeBlock()
{
    if (!FileReplacement::writeAll(device, block.constData(), block.size())) {
        failed = true;
        error = device.errorString();
        return false;
    }
    block.truncate(0);
    return true;
}
