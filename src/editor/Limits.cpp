#include "editor/Limits.h"

#include <QDate>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "common/IniFile.h"

namespace zorva::editor {

bool readLimit(const QString& text, std::optional<double>& limit)
{
    QString t = text.trimmed();
    limit.reset();
    if (t.isEmpty()) return true;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value)) return false;
    limit = value;
    return true;
}

std::optional<int> calculationType(const QString& varpich)
{
    bool ok = false;
    const int type = varpich.trimmed().toInt(&ok);
    if (!ok || type < 1 || type > 6) return std::nullopt;
    return type;
}

LimitsByType settingsLimitsByType(const QString& settingsFile)
{
    // A key of the settings that holds no limit gives none: the answers then carry no verdict.
    LimitsByType limits;
    for (int type = 1; type <= 6; ++type) limits[std::size_t(type)] = settingsLimits(settingsFile, type);
    return limits;
}

Limits settingsLimits(const QString& settingsFile, int type, QString* problem)
{
    Limits limits;
    for (const char* side : {"_MIN", "_MAX"}) {
        const QString key = QStringLiteral("TYP%1").arg(type) + QLatin1String(side);
        const QString text = ini::readString(kLimitsSection, key, QString(), settingsFile);
        std::optional<double>& limit = side[2] == 'I' ? limits.min : limits.max;
        if (!readLimit(text, limit)) {
            if (problem)
                *problem = QStringLiteral("Limit %1/%2 v nastavení není číslo: „%3“.").arg(kLimitsSection, key, text);
            return {};
        }
    }
    if (limits.min && limits.max && *limits.min > *limits.max) {
        if (problem) *problem = QStringLiteral("V nastavení je dolní limit typu %1 vyšší než horní.").arg(type);
        return {};
    }
    return limits;
}

Verdict verdictOf(double figure, const Limits& limits)
{
    if (limits.min && figure < *limits.min) return Verdict::Below;
    if (limits.max && figure > *limits.max) return Verdict::Above;
    return Verdict::Within;
}

QString verdictText(Verdict verdict)
{
    switch (verdict) {
        case Verdict::Below:
            return QStringLiteral("pod limitem");
        case Verdict::Above:
            return QStringLiteral("nad limitem");
        case Verdict::Within:
            break;
    }
    return QStringLiteral("vyhovuje");
}

double marginOf(double figure, const Limits& limits)
{
    std::optional<double> margin;
    auto nearer = [&](double d) { margin = margin ? std::min(*margin, d) : d; };
    if (limits.min) nearer(figure - *limits.min);
    if (limits.max) nearer(*limits.max - figure);
    // Figures and limits are decimals: the distance is one too, not the binary noise of the subtraction.
    return std::round(margin.value_or(0.0) * 1e10) / 1e10;
}

namespace {

// Validity dates as the service writes them are ISO dates; other texts compare as texts.
bool earlier(const QString& a, const QString& b)
{
    auto date = [](const QString& t) {
        QDate d = QDate::fromString(t.trimmed(), Qt::ISODate);
        if (!d.isValid()) d = QDate::fromString(t.trimmed(), QStringLiteral("d.M.yyyy"));
        return d;
    };
    const QDate da = date(a), db = date(b);
    if (da.isValid() && db.isValid()) return da < db;
    return a < b;
}

}  // namespace

void RowsOutside::note(const QString& date, double figure, const Limits& limits)
{
    if (verdictOf(figure, limits) == Verdict::Within) return;
    if (++count == 1 || earlier(date, firstDate)) firstDate = date;
}

}  // namespace zorva::editor
