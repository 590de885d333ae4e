#include "request/ArchiveCache.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include "common/DetailLog.h"
#include "common/Failure.h"
#include "common/FileWriting.h"

namespace zorva::request {

namespace {

const QByteArray kFirstLine = "ZORVA_VDJ rejstrik 1";
constexpr qsizetype kFields = 7;
// Far beyond any archive of answers; a larger file is no cache of this program's.
constexpr qint64 kMaxBytes = 64 * 1024 * 1024;

QByteArray field(const QString& text)
{
    return QUrl::toPercentEncoding(text);
}

QString text(const QByteArray& field)
{
    return QUrl::fromPercentEncoding(field);
}

}  // namespace

ArchiveCache::ArchiveCache(QString folder) : path_(QDir(folder).filePath(QStringLiteral("rejstrik.tsv")))
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes) return;
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.isEmpty() || lines.first() != kFirstLine) return;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split('\t');
        if (f.size() != kFields) continue;
        bool sizeOk = false, timeOk = false;
        Entry e;
        e.size = f[1].toLongLong(&sizeOk);
        e.modified = f[2].toLongLong(&timeOk);
        if (!sizeOk || !timeOk) continue;
        e.answer = {text(f[3]), text(f[4]), text(f[5]), text(f[6])};
        entries_.insert(text(f[0]), std::move(e));
    }
}

const CachedAnswer* ArchiveCache::find(const QString& fileName, qint64 size, qint64 modified)
{
    const auto it = entries_.find(fileName);
    if (it == entries_.end() || it->size != size || it->modified != modified) return nullptr;
    it->seen = true;
    return &it->answer;
}

void ArchiveCache::put(const QString& fileName, qint64 size, qint64 modified, CachedAnswer answer)
{
    entries_.insert(fileName, Entry{size, modified, std::move(answer), true});
    changed_ = true;
}

void ArchiveCache::save()
{
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->seen) {
            ++it;
        } else {
            it = entries_.erase(it);
            changed_ = true;
        }
    }
    if (!changed_) return;
    QByteArray out = kFirstLine;
    for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
        const CachedAnswer& a = it->answer;
        out += '\n' + field(it.key()) + '\t' + QByteArray::number(it->size) + '\t' + QByteArray::number(it->modified) +
               '\t' + field(a.name) + '\t' + field(a.pichA) + '\t' + field(a.pichB) + '\t' + field(a.asked);
    }
    try {
        writeFileAtomically(path_, out);
        changed_ = false;
    } catch (const Failure& f) {
        qCWarning(detailLog).noquote() << QStringLiteral("Rejstřík archivu nelze uložit: %1").arg(f.text());
    }
}

}  // namespace zorva::request
