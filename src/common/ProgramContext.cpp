#include "common/ProgramContext.h"

#include <QDir>

namespace zorva {

QString ProgramContext::file(const QString& backslashName) const
{
    QString name = backslashName;
    while (name.startsWith(QLatin1Char('\\')) || name.startsWith(QLatin1Char('/'))) name.remove(0, 1);
    return QDir(folder).filePath(name);
}

QString ProgramContext::settingsFile() const
{
    return file(programName + QStringLiteral(".INI"));
}

void ProgramContext::message(const QString& text, MessageIcon icon) const
{
    if (messages) messages->show(text, icon);
}

Answer ProgramContext::ask(const QString& text) const
{
    return messages ? messages->ask(text) : Answer::Yes;
}

}  // namespace zorva
