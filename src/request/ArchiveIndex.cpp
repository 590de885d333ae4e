#include "request/ArchiveIndex.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>

#include "editor/Limits.h"
#include "platform/XmlDocument.h"
#include "request/AnswerText.h"
#include "request/Archive.h"
#include "request/ArchiveCache.h"
#include "request/RecentApplicants.h"
#include "request/YearlyVerdict.h"

namespace zorva::request {

namespace {

// What the list shows of a kept document; nothing for one that cannot be read.
std::optional<CachedAnswer> readAnswer(const QString& path)
{
    xml::Document doc;
    if (!doc.load(path)) return std::nullopt;
    return CachedAnswer{applicantNameOf(doc), answerText(doc, QStringLiteral("//RUX:PICHROKA")),
                        answerText(doc, QStringLiteral("//RUX:PICHROKB")),
                        answerText(doc, QStringLiteral("//RUX:ROKPLATNOST"))};
}

void takeAnswer(ArchivedResult& r, const CachedAnswer& answer, const editor::LimitsByType& limits)
{
    r.name = answer.name;
    r.pichA = answer.pichA;
    r.pichB = answer.pichB;
    if (!answer.asked.isEmpty()) r.period = answer.asked;
    if (const std::optional<int> type = editor::calculationType(r.type)) {
        const YearlyVerdict v = judgeYearly(r.pichA, r.pichB, limits[std::size_t(*type)]);
        r.verdict = v.verdict;
        r.margin = v.margin;
    }
}

}  // namespace

std::optional<ArchivedResult> readArchiveName(const QString& fileBase)
{
    static const QRegularExpression form(
        QStringLiteral("^(.+)_typ([0-9]*)([ABC]?)_([0-9A-Za-z_-]+)_(\\d{8}-\\d{6})(?:-\\d+)?(%1)?$").arg(kEditedMark));
    const QString name = QFileInfo(fileBase).fileName();
    const QRegularExpressionMatch m = form.match(name);
    if (!m.hasMatch()) return std::nullopt;
    ArchivedResult r;
    r.base = fileBase;
    r.applicant = m.captured(1);
    r.type = m.captured(2);
    r.variant = m.captured(3);
    r.period = m.captured(4);
    r.time = QDateTime::fromString(m.captured(5), QStringLiteral("yyyyMMdd-HHmmss"));
    r.edited = !m.captured(6).isEmpty();
    return r;
}

std::vector<ArchivedResult> archivedResults(const ProgramContext& ctx)
{
    const QDir folder(ctx.file(kArchiveFolder));
    std::vector<ArchivedResult> list;
    const editor::LimitsByType limits = editor::settingsLimitsByType(ctx.settingsFile());
    ArchiveCache cache(folder.path());
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.xml")}, QDir::Files)) {
        std::optional<ArchivedResult> r = readArchiveName(file.filePath().chopped(4));
        if (!r) continue;
        const qint64 size = file.size(), modified = file.lastModified().toMSecsSinceEpoch();
        if (const CachedAnswer* known = cache.find(file.fileName(), size, modified)) {
            takeAnswer(*r, *known, limits);
        } else if (std::optional<CachedAnswer> read = readAnswer(file.filePath())) {
            takeAnswer(*r, *read, limits);
            cache.put(file.fileName(), size, modified, std::move(*read));
        }
        list.push_back(std::move(*r));
    }
    cache.save();
    std::stable_sort(list.begin(), list.end(), [](const ArchivedResult& a, const ArchivedResult& b) {
        return a.time != b.time ? a.time > b.time : a.base > b.base;
    });
    return list;
}

bool matchesFilter(const ArchivedResult& r, const QString& filter)
{
    const QStringList words = filter.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return std::all_of(words.begin(), words.end(), [&](const QString& word) {
        return r.applicant.contains(word, Qt::CaseInsensitive) || r.name.contains(word, Qt::CaseInsensitive) ||
               r.period.contains(word, Qt::CaseInsensitive);
    });
}

}  // namespace zorva::request
