#include "request/Archive.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <utility>

#include "common/Failure.h"
#include "common/FileNamePart.h"
#include "common/FileWriting.h"
#include "common/IniFile.h"
#include "platform/XmlDocument.h"
#include "presentation/Rendering.h"
#include "request/AnswerText.h"
#include "request/Applicant.h"
#include "request/ServiceFault.h"

Q_LOGGING_CATEGORY(archiveLog, "zorva.archiv")

namespace zorva::request {

namespace {

// A free name in the folder: the same applicant asked twice within one second gets "-2", "-3", ...
// before the mark, so that the name still reads applicant, type, period, time.
QString freeBase(const QDir& folder, const QString& name, const QString& mark = QString())
{
    QString base = name + mark;
    for (int n = 2; folder.exists(base + QStringLiteral(".xml")) || folder.exists(base + QStringLiteral(".htm")); ++n)
        base = name + QLatin1Char('-') + QString::number(n) + mark;
    return folder.filePath(base);
}

QDateTime now(const ProgramContext& ctx)
{
    return ctx.clock ? ctx.clock->now() : QDateTime::currentDateTime();
}

}  // namespace

bool archiveKeepsPdf(const ProgramContext& ctx)
{
    return ini::readString(QStringLiteral("SETUP"), kPdfKey, QString(), ctx.settingsFile()).trimmed() ==
           QLatin1String("1");
}

QString archiveName(const RequestFields& f, const QDateTime& time)
{
    QString applicant = fileNamePart(applicantIdentifier(f.jisubrux, f.ico, f.rc));
    if (applicant.isEmpty()) applicant = QStringLiteral("bez-zadatele");
    // A date (types 1 to 3) as year-month-day, so that the files of one applicant sort by it.
    const QDate date = QDate::fromString(f.year.trimmed(), QStringLiteral("dd.MM.yyyy"));
    const QString period = date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : fileNamePart(f.year);
    return applicant + QStringLiteral("_typ") + fileNamePart(f.type) + fileNamePart(f.variant) + QLatin1Char('_') +
           period + QLatin1Char('_') + time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

RequestFields fieldsOfAnswer(const xml::Document& answer)
{
    RequestFields f;
    f.jisubrux = answerText(answer, QStringLiteral("//RUX:JISUBRUX"));
    f.ico = answerText(answer, QStringLiteral("//RUX:ICO"));
    f.rc = answerText(answer, QStringLiteral("//VDJ:RespRecord/RUX:RCI"));
    f.type = answerText(answer, QStringLiteral("//RUX:VARPICH"));
    f.variant = answerText(answer, QStringLiteral("//RUX:PICHVYPOCET"));
    f.year = answerText(answer, QStringLiteral("//RUX:ROKPLATNOST"));
    return f;
}

QString archiveResponse(const ProgramContext& ctx, const RequestFields& fields)
{
    QString folderPath = ctx.file(kArchiveFolder);
    try {
        QFile stored(ctx.file(presentation::kResponseFile));
        if (!stored.open(QIODevice::ReadOnly)) throw Failure(err::FileNotFound, QStringLiteral("odpověď chybí"));
        const QByteArray bytes = stored.readAll();
        xml::Document response;
        response.loadXml(bytes);
        // A fault, or an answer without the service's figures, is no result for the applicant: among
        // the results it would pass for one.
        const bool result = holdsServiceData(response);
        if (!result) folderPath = QDir(folderPath).filePath(kArchiveFailuresFolder);
        if (!QDir().mkpath(folderPath)) throw Failure(err::PathNotFound, QStringLiteral("složku nelze vytvořit"));
        const QString base = freeBase(QDir(folderPath), archiveName(fields, now(ctx)));
        writeFileAtomically(base + QStringLiteral(".xml"), bytes);
        presentation::renderResponseTo(ctx, std::move(response), base + QStringLiteral(".htm"),
                                       presentation::RenderAs::Html);
        if (result) return base + QStringLiteral(".htm");
    } catch (const std::exception& e) {
        qCWarning(archiveLog, "Archiv %s: %s", qUtf8Printable(folderPath), e.what());
    }
    return QString();
}

QString archiveEditedPage(const ProgramContext& ctx, const RequestFields& fields, const xml::Document& doc)
{
    const QString folderPath = ctx.file(kArchiveFolder);
    try {
        if (!QDir().mkpath(folderPath)) throw Failure(err::PathNotFound, QStringLiteral("složku nelze vytvořit"));
        const QString base = freeBase(QDir(folderPath), archiveName(fields, now(ctx)), kEditedMark);
        doc.save(base + QStringLiteral(".xml"));
        presentation::renderResponseTo(ctx, doc, base + QStringLiteral(".htm"), presentation::RenderAs::Html);
        return base + QStringLiteral(".htm");
    } catch (const std::exception& e) {
        qCWarning(archiveLog, "Archiv %s: %s", qUtf8Printable(folderPath), e.what());
    }
    return QString();
}

}  // namespace zorva::request
