#pragma once
#include <QString>
#include <QStringList>

namespace zorva {

// True when a file can really be made in the folder: a probe file is created and removed again.
// Permission bits alone do not tell: the superuser passes them, and a read-only mount stops everyone.
bool canWriteIn(const QString& folder);

// Copies each named file of one folder into another where the other lacks it, writable by its
// owner whatever the original's bits, so that the settings written back later land in the copy.
// Names may begin with a backslash, as the program names its files. A file present is kept.
void seedFolder(const QString& from, const QString& to, const QStringList& names);

// The folder of the program's files (settings, responses, working databases, pages, log): the
// executable's own folder wherever it is writable, such as a build folder or an unpacked copy;
// otherwise (an installed program owned by root) the per-user folder, created and seeded with the
// shipped files on first use. When the per-user folder cannot be made either, the executable's
// folder stays, and the program's own messages report the writes that fail there.
QString programFolder(const QString& executableFolder, const QString& userFolder, const QStringList& shippedFiles);

}  // namespace zorva
