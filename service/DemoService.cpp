#include "DemoService.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>

#include "BoundedRequests.h"
#include "DemoApplicants.h"
#include "DemoData.h"
#include "DemoResponse.h"
#include "DemoRules.h"
#include "ServiceRequest.h"
#include "common/Failure.h"

namespace zorva::service {

namespace {

const QByteArray kXmlType = QByteArrayLiteral("text/xml; charset=utf-8");
const QByteArray kHtmlType = QByteArrayLiteral("text/html; charset=utf-8");

QString firstExisting(const QStringList& candidates)
{
    for (const QString& path : candidates)
        if (QFile::exists(path)) return path;
    return candidates.first();
}

DemoService::Answer faultAnswer(const Fault& fault)
{
    return {500, faultDocument(fault)};
}

}  // namespace

DemoService::DemoService(const QString& dataFolder, QObject* parent)
    : QObject(parent), data_(std::make_unique<DemoData>())
{
    const QDir dir(dataFolder);
    data_->loadFile(
        firstExisting({dir.filePath(QStringLiteral("demo.sql")), dir.filePath(QStringLiteral("demo/demo.sql"))}));

    const QString helpFile = dir.filePath(QStringLiteral("ZORVA_VDJ_help.html"));
    QFile help(helpFile);
    if (!help.open(QIODevice::ReadOnly))
        throw Failure(err::FileNotFound, QStringLiteral("Soubor nápovědy nelze číst: ") + helpFile);
    help_ = help.readAll();
}

DemoService::~DemoService() = default;

void DemoService::addGeneratedApplicants(int count)
{
    if (count > 0) data_->runScript(generatedApplicantsScript(count));
}

quint16 DemoService::listen(quint16 port)
{
    if (!server_) {
        server_ = std::make_unique<QHttpServer>();
        server_->route(exchangePath, QHttpServerRequest::Method::Post, [this](const QHttpServerRequest& request) {
            const Answer a = answer(request.body());
            return QHttpServerResponse(kXmlType, a.body, static_cast<QHttpServerResponse::StatusCode>(a.status));
        });
        server_->route(helpPath, QHttpServerRequest::Method::Get,
                       [this](const QHttpServerRequest&) { return QHttpServerResponse(kHtmlType, help_); });
    }
    // QHttpServer reads a whole request into memory before its handler runs; the size of a body
    // is checked below it, from the header, before the body is read.
    auto tcp = std::make_unique<BoundedRequestServer>(
        maxRequestBytes,
        BoundedRequestServer::Refusals{BoundedRequestServer::faultAnswer(faultDocument(requestTooLarge())),
                                       BoundedRequestServer::faultAnswer(faultDocument(requestWithoutLength()))});
    if (!tcp->listen(QHostAddress::LocalHost, port)) {
        port_ = 0;
        return port_;
    }
    port_ = tcp->serverPort();
    server_->bind(tcp.release());
    return port_;
}

QString DemoService::exchangeUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(exchangePath);
}

QString DemoService::helpUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(helpPath);
}

DemoService::Answer DemoService::answer(const QByteArray& requestBody) const
{
    try {
        const auto read = readRequest(requestBody);
        if (const Fault* f = std::get_if<Fault>(&read)) return faultAnswer(*f);
        const RequestFields& fields = std::get<RequestFields>(read);

        if (!data_->knowsUser(fields.userId))
            return faultAnswer({QStringLiteral("SOAP:Client"), QStringLiteral("Neznámý uživatel")});
        const auto applicant = data_->findApplicant(fields.jisubrux, fields.ico, fields.rc);
        if (!applicant) return faultAnswer({QStringLiteral("SOAP:Client"), QStringLiteral("Žadatel nebyl nalezen")});

        const auto checked = checkParameters(fields);
        if (const Fault* f = std::get_if<Fault>(&checked)) return faultAnswer(*f);
        const Parameters& p = std::get<Parameters>(checked);

        // The client opens its editor by the text it sent: "2006" and "2007" the 2006 generation,
        // any date or other year text the first. The answer carries the categories of that editor.
        const editor::CategorySet& set = editor::CategorySet::forYearText(fields.validity);
        ResponseContent content;
        content.stamp = QDateTime::currentDateTime();
        content.applicant = *applicant;
        content.asked = fields;
        content.variant = p.variant;
        content.set = &set;
        for (const QDate& date : validityDates(p.type, p.date, p.year)) {
            ResponseRow row;
            row.date = date;
            row.acreage = p.type == 6 ? p.acreage : data_->acreage(applicant->jisubrux, date.year());
            row.counts = countsFor(set, data_->herd(applicant->jisubrux, date));
            content.rows.push_back(std::move(row));
        }
        return {200, computeFigures(composeResponse(content), set)};
    } catch (const Failure& f) {
        return faultAnswer({QStringLiteral("SOAP:Server"), QStringLiteral("Odpověď nelze sestavit: ") + f.text()});
    } catch (const std::exception& e) {
        return faultAnswer({QStringLiteral("SOAP:Server"),
                            QStringLiteral("Odpověď nelze sestavit: ") + QString::fromLocal8Bit(e.what())});
    }
}

}  // namespace zorva::service
