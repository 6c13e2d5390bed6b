#include "LumivaneResources.h"

#include <QFile>

bool LumivaneResources::available()
{
    return QFile::exists(QLatin1String(styleSheet));
}
