#include "request/RecentApplicants.h"

#include <QFile>
#include <QLoggingCategory>
#include <algorithm>

#include "common/DetailLog.h"
#include "common/Failure.h"
#include "common/FileWriting.h"
#include "request/AnswerText.h"
#include "request/BatchList.h"

namespace zorva::request {

namespace {

// A field never holds the separator or a line break: the list stays one applicant a line.
QString field(const QString& text)
{
    QString out = text.simplified();
    out.replace(QLatin1Char(';'), QLatin1Char(','));
    out.replace(QLatin1Char('"'), QLatin1Char('\''));
    return out;
}

}  // namespace

QString applicantNameOf(const xml::Document& answer)
{
    const QString name = answerText(answer, QStringLiteral("//VDJ:SUBJEKTIRZ/RUX:OJM"));
    if (!name.isEmpty()) return name;
    return (answerText(answer, QStringLiteral("//VDJ:SUBJEKTIRZ/RUX:JME")) + QLatin1Char(' ') +
            answerText(answer, QStringLiteral("//VDJ:SUBJEKTIRZ/RUX:PRI")))
        .trimmed();
}

std::vector<KnownApplicant> recentApplicants(const ProgramContext& ctx)
{
    QFile file(ctx.file(kRecentApplicantsFile));
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::vector<KnownApplicant> list;
    for (const QStringList& record : splitRecords(QString::fromUtf8(file.read(1024 * 1024)))) {
        if (record.size() < 4) continue;
        list.push_back({record[0], record[1], record[2], record[3]});
        if (int(list.size()) == kRecentApplicants) break;
    }
    return list;
}

bool rememberApplicant(const ProgramContext& ctx, const KnownApplicant& applicant)
{
    std::vector<KnownApplicant> list = recentApplicants(ctx);
    list.erase(std::remove(list.begin(), list.end(), applicant), list.end());
    list.insert(list.begin(), applicant);
    if (int(list.size()) > kRecentApplicants) list.resize(kRecentApplicants);
    QString text;
    for (const KnownApplicant& a : list)
        text += QStringList{field(a.jisubrux), field(a.ico), field(a.rc), field(a.name)}.join(QLatin1Char(';')) +
                QStringLiteral("\r\n");
    try {
        writeFileAtomically(ctx.file(kRecentApplicantsFile), text.toUtf8());
        return true;
    } catch (const Failure& f) {
        qCWarning(detailLog).noquote() << QStringLiteral("Seznam žadatelů nelze uložit:") << f.text();
        return false;
    }
}

}  // namespace zorva::request
