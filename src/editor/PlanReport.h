#pragma once
#include <QString>
#include <QStringList>

#include "editor/Limits.h"
#include "editor/Plan.h"

namespace zorva::editor {

// The plan of one yearly figure in words and as a line of the table, with the decimal comma.
struct PlanWording {
    const CategorySet& set;
    Limits limits;
    QString source;  // where the limits come from: kLimitsFromSettings or kLimitsGiven
    int rows = 0;    // the rows of the response
};

QString planSentence(const FigurePlan& plan, const PlanWording& wording);

inline const QString kPlanCsvHeader = QStringLiteral(
    "ukazatel;hodnota;min;max;stav;rezerva;kategorie;zmena_ks;zmena_ha;lze_pridat_ks;lze_ubrat_ks;prvni_datum_mimo;"
    "radku_mimo");
QString planCsvLine(const FigurePlan& plan, const PlanWording& wording);

// A figure with at least three decimals ("0,500", "0,1387") and the decimal comma.
QString limitText(double value);
// "0,3–1,5", "od 0,3", "do 1,5": the limits as the texts show them; at least one must be set.
QString limitsText(const Limits& limits);

}  // namespace zorva::editor
