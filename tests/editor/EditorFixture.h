#pragma once
#include <gtest/gtest.h>

#include <QFile>
#include <memory>

#include "ResponseBuilder.h"
#include "editor/EditorSession.h"
#include "support/TestSupport.h"

namespace zorva::test {

// A program folder, an editor session of one generation and the response it loaded.
class EditorFixture : public ::testing::Test {
protected:
    void load(const ResponseShape& shape, const editor::CategorySet& set = editor::CategorySet::first())
    {
        loadBytes(buildResponse(shape), set);
    }
    void loadBytes(const QByteArray& bytes, const editor::CategorySet& set = editor::CategorySet::first())
    {
        // A fixed clock names every working database alike: the previous opening's file goes first.
        if (session) {
            session.reset();
            for (const QString& f : program.files(QStringLiteral("TMP*.MDB"))) QFile::remove(program.path(f));
        }
        doc = std::make_shared<xml::Document>();
        doc->loadXml(bytes);
        session = std::make_unique<editor::EditorSession>(program.ctx, set);
        session->xmlDOM = doc;
        session->Startuj();
    }
    db::Recordset& rs() { return *session->recordset(); }
    QVariant cell(int row, const QString& column)
    {
        rs().moveTo(row);
        return rs().value(column);
    }
    void setCell(int row, const QString& column, const QVariant& value)
    {
        rs().moveTo(row);
        rs().setValue(column, value);
        rs().update();
    }
    QString rowAttribute(const QString& date, const QString& name)
    {
        return doc->selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='%1']").arg(date))
            .attribute(name)
            .value_or(QStringLiteral("<none>"));
    }
    QString categoryText(const QString& date, const QString& category)
    {
        return doc->selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='%1']").arg(date))
            .selectSingle(QStringLiteral("RUX:") + category)
            .text();
    }
    QString categoryUnits(const QString& date, const QString& category)
    {
        return doc->selectSingle(QStringLiteral("//VDJ:PICHROW[@DATPLATNOST='%1']").arg(date))
            .selectSingle(QStringLiteral("RUX:") + category)
            .attribute(QStringLiteral("VDJ"))
            .value_or(QStringLiteral("<none>"));
    }

    TestProgram program;
    std::shared_ptr<xml::Document> doc;
    std::unique_ptr<editor::EditorSession> session;
};

}  // namespace zorva::test
