#pragma once
#include <QByteArray>
#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace zorva::test {

// One category element of a row: its text and its two attributes (nothing = attribute absent).
struct CategoryValues {
    QString count;
    std::optional<QString> vdj = QStringLiteral("0");
    std::optional<QString> koef;
};

struct RowValues {
    QString date;
    QString acreage = QStringLiteral("12.5");
    std::map<QString, CategoryValues> categories;
    QString vdja = QStringLiteral("0"), vdjb = QStringLiteral("0"), picha = QStringLiteral("0"),
            pichb = QStringLiteral("0");
    bool withAcreage = true;
};

// A response document of the service's form, small enough to read in a test.
struct ResponseShape {
    QString type = QStringLiteral("2");
    std::optional<QString> pichRokA = QStringLiteral("0.1");
    std::optional<QString> pichRokB = QStringLiteral("0.2");
    QString jisubrux = QStringLiteral("1000234567");
    std::vector<RowValues> rows;
};

QByteArray buildResponse(const ResponseShape& shape);

}  // namespace zorva::test
