#include "common/FileNamePart.h"

namespace zorva {

QString fileNamePart(const QString& text)
{
    QString out;
    for (const QChar c : text.trimmed())
        out += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') ? c : QLatin1Char('_');
    return out.left(40);
}

}  // namespace zorva
