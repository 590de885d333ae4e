#include "DemoApplicants.h"

#include <QStringList>
#include <array>

namespace zorva::service {

namespace {

// A small deterministic generator (a linear congruential one, as in the C standard's example), so
// that the generated registers do not depend on the library's random engines.
class Sequence {
public:
    explicit Sequence(quint32 seed) : state_(seed * 2654435761u + 1u) {}
    int below(int bound)
    {
        state_ = state_ * 1103515245u + 12345u;
        return int((state_ >> 8) % quint32(bound));
    }

private:
    quint32 state_;
};

const std::array<const char*, 8> kNames = {"Farma",    "Statek", "Rodinná farma", "Zemědělská společnost",
                                           "Ekofarma", "Chov",   "Hospodářství",  "Dvůr"};
const std::array<const char*, 10> kPlaces = {"Pod Lesem", "Na Kopci", "U Potoka", "Horní Ves", "Dolní Luka",
                                             "Zahrádky",  "Březina",  "Lhota",    "Vrchy",     "Úvoz"};

// A herd kind: its categories of 2006, each with a typical count for a herd of size 1.
struct Kind {
    bool organic;
    std::array<std::pair<const char*, int>, 4> categories;
};
const std::array<Kind, 5> kKinds = {{
    {false, {{{"SKOTDO6", 4}, {"SKOTOD6DO24", 12}, {"SKOTOD24", 22}, {"OVCEOD12", 0}}}},
    {false, {{{"OVCEDO12", 10}, {"OVCEOD12", 55}, {"KOZYOD12", 4}, {"SKOTOD24", 2}}}},
    {true, {{{"SKOTDO6", 6}, {"SKOTOD6DO24", 15}, {"SKOTOD24", 25}, {"OVCEOD12", 12}}}},
    {false, {{{"KUNDO3", 2}, {"KUNOD3", 9}, {"SKOTOD24", 3}, {"KOZYDO12", 0}}}},
    {true, {{{"KOZYDO12", 8}, {"KOZYOD12", 30}, {"OVCEOD12", 20}, {"KUNOD3", 1}}}},
}};

QString category(const Kind& kind, const char* name)
{
    // Horses have no organic category.
    const bool organic = kind.organic && !QLatin1String(name).startsWith(QLatin1String("KUN"));
    return organic ? QStringLiteral("EKO") + QLatin1String(name) : QLatin1String(name);
}

}  // namespace

QString generatedApplicantsScript(int count)
{
    QStringList applicants, acreage, herds;
    for (int n = 1; n <= count; ++n) {
        Sequence seq{quint32(n)};
        const QString id = QString::number(kFirstGeneratedApplicant + n - 1);
        const QString ico = QStringLiteral("%1").arg(30000000 + n, 8, 10, QLatin1Char('0'));
        const QString name = QStringLiteral("%1 %2 %3")
                                 .arg(QString::fromUtf8(kNames[size_t(seq.below(int(kNames.size())))]),
                                      QString::fromUtf8(kPlaces[size_t(seq.below(int(kPlaces.size())))]))
                                 .arg(n);
        applicants << QStringLiteral("('%1', '%2', '%3', '%3')").arg(id, ico, name);

        // Sizes from a smallholding to a large cooperative; the acreage follows the herd, with
        // some farms far above and some far below the usual intensity.
        const int size = 1 + seq.below(3) * seq.below(12) + (seq.below(20) == 0 ? 150 : 0);
        const double hectares = size * (8 + seq.below(60)) + seq.below(100) / 100.0;
        for (int year = 2004; year <= 2007; ++year)
            acreage << QStringLiteral("('%1', %2, %3)")
                           .arg(id)
                           .arg(year)
                           .arg(hectares + (year - 2004) * size * 0.5, 0, 'f', 2);

        const Kind& kind = kKinds[size_t(seq.below(int(kKinds.size())))];
        for (const auto& [cat, typical] : kind.categories) {
            const int base = typical * size + seq.below(5);
            herds << QStringLiteral("('%1', '2004-01', '%2', %3)").arg(id, category(kind, cat)).arg(base);
            // The young arrive in spring and leave in autumn.
            if (QLatin1String(cat).contains(QLatin1String("DO"))) {
                herds << QStringLiteral("('%1', '2004-04', '%2', %3)").arg(id, category(kind, cat)).arg(base * 3 + 2);
                herds << QStringLiteral("('%1', '2004-10', '%2', %3)").arg(id, category(kind, cat)).arg(base);
            }
        }
    }
    if (applicants.isEmpty()) return QString();
    const QString sep = QStringLiteral(",\n");
    return QStringLiteral("BEGIN;\n") +
           QStringLiteral("INSERT INTO applicants (jisubrux, ico, name, irz_ojm) VALUES\n") + applicants.join(sep) +
           QStringLiteral(";\nINSERT INTO lpis_acreage (jisubrux, year, hectares) VALUES\n") + acreage.join(sep) +
           QStringLiteral(";\nINSERT INTO herds (jisubrux, valid_from, category, count) VALUES\n") + herds.join(sep) +
           QStringLiteral(";\nCOMMIT;\n");
}

}  // namespace zorva::service
