#include "editor/CategoryNames.h"

#include <QHash>

namespace zorva::editor {

QString reportName(const QString& name)
{
    static const QHash<QString, QString> names = {
        {"SKOTML", QStringLiteral("Skot mladší")},
        {"SKOTST", QStringLiteral("Skot starší")},
        {"EKOSKOTML", QStringLiteral("Eko skot mladší")},
        {"EKOSKOTST", QStringLiteral("Eko skot starší")},
        {"KOZA", QStringLiteral("Koza")},
        {"EKOKOZA", QStringLiteral("Eko koza")},
        {"OVCE", QStringLiteral("Ovce")},
        {"EKOOVCE", QStringLiteral("Eko ovce")},
        {"KUNML", QStringLiteral("Kůň mladší")},
        {"KUNST", QStringLiteral("Kůň starší")},
        {"SKOTDO6", QStringLiteral("Skot do 6 měsíců")},
        {"SKOTOD6DO24", QStringLiteral("Skot od 6 do 24 měsíců")},
        {"SKOTOD24", QStringLiteral("Skot od 24 měsíců")},
        {"OVCEDO12", QStringLiteral("Ovce do 12 měsíců")},
        {"OVCEOD12", QStringLiteral("Ovce od 12 měsíců")},
        {"KOZYDO12", QStringLiteral("Kozy do 12 měsíců")},
        {"KOZYOD12", QStringLiteral("Kozy od 12 měsíců")},
        {"KUNDO3", QStringLiteral("Kůň do 3 let")},
        {"KUNOD3", QStringLiteral("Kůň od 3 let")},
        {"EKOSKOTDO6", QStringLiteral("Eko skot do 6 měsíců")},
        {"EKOSKOTOD6DO24", QStringLiteral("Eko skot od 6 do 24 měsíců")},
        {"EKOSKOTOD24", QStringLiteral("Eko skot od 24 měsíců")},
        {"EKOOVCEDO12", QStringLiteral("Eko ovce do 12 měsíců")},
        {"EKOOVCEOD12", QStringLiteral("Eko ovce od 12 měsíců")},
        {"EKOKOZYDO12", QStringLiteral("Eko kozy do 12 měsíců")},
        {"EKOKOZYOD12", QStringLiteral("Eko kozy od 12 měsíců")},
    };
    return names.value(name, name);
}

namespace {

// What is left of a name once case, blanks and diacritics are set aside.
QString bare(const QString& text)
{
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.isLetterOrNumber()) out += c.toCaseFolded();
    return out;
}

}  // namespace

const Category* findCategory(const CategorySet& set, const QString& text)
{
    QString wanted = bare(text);
    for (const char* suffix : {"pocet", "vdj", "koef"})
        for (const Category& c : set.categories)
            if (wanted == bare(c.name) + QLatin1String(suffix)) wanted = bare(c.name);
    if (wanted.isEmpty()) return nullptr;
    for (const Category& c : set.categories) {
        if (wanted == bare(c.name) || wanted == bare(reportName(c.name)) || wanted == bare(c.label) ||
            (!c.meaning.isEmpty() && wanted == bare(c.meaning)))
            return &c;
    }
    return nullptr;
}

}  // namespace zorva::editor
