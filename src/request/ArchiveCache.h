#pragma once
#include <QHash>
#include <QString>
#include <optional>

namespace zorva::request {

// What the archive's list takes from a kept answer, as read before.
struct CachedAnswer {
    QString name, pichA, pichB;
    QString asked;  // the year or date the answer echoes; empty when it has none
};

// The figures of the kept answers, remembered beside them in "rejstrik.tsv" by file name, size and
// time of change, so that the archive window opens without reading every document again. It is a
// cache only: a missing, foreign or damaged file is read as empty, and one that cannot be written
// costs the next opening its speed, nothing else. Files of the archive are written once and never
// changed in place, which is what makes size and time enough to trust an entry.
class ArchiveCache {
public:
    explicit ArchiveCache(QString folder);

    // The entry of a file as it is now, or null; a found entry stays in the next save.
    const CachedAnswer* find(const QString& fileName, qint64 size, qint64 modified);
    void put(const QString& fileName, qint64 size, qint64 modified, CachedAnswer answer);
    // Writes the cache when it changed, keeping only the entries found or put since it was read.
    void save();

private:
    struct Entry {
        qint64 size = 0, modified = 0;
        CachedAnswer answer;
        bool seen = false;
    };
    QString path_;
    QHash<QString, Entry> entries_;
    bool changed_ = false;
};

}  // namespace zorva::request
