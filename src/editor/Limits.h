#pragma once
#include <QString>
#include <array>
#include <optional>

namespace zorva::editor {

// The intensity (VDJ/ha) that a subsidy programme asks of a farm, for one calculation type: a lower
// limit, an upper limit, either or both missing. The program ships none: the settings file's
// [LIMITY] section gives them (TYP4_MIN, TYP4_MAX, ...), so that it never claims a legal limit it
// cannot vouch for, and every text that shows one says where it came from.
struct Limits {
    std::optional<double> min, max;
    bool any() const { return min || max; }
};

inline const QString kLimitsSection = QStringLiteral("LIMITY");
inline const QString kLimitsFromSettings = QStringLiteral("limit z nastavení");
inline const QString kLimitsGiven = QStringLiteral("zadaný limit");

// A limit as a person writes it, with "," or "." as decimal sign; an empty text is no limit.
// Anything else than one finite number gives false.
bool readLimit(const QString& text, std::optional<double>& limit);

// The calculation type of a response's VARPICH text: 1 to 6, else nothing.
std::optional<int> calculationType(const QString& varpich);

// The limits of the settings file for a type. A key that holds no number, or a lower limit above the
// upper one, is named in `problem` (and gives no limits).
Limits settingsLimits(const QString& settingsFile, int type, QString* problem = nullptr);
// The limits of every type at once, by type (1 to 6; 0 holds none), for judging many answers.
using LimitsByType = std::array<Limits, 7>;
LimitsByType settingsLimitsByType(const QString& settingsFile);

enum class Verdict {
    Within,
    Below,
    Above
};
Verdict verdictOf(double figure, const Limits& limits);
// "vyhovuje", "pod limitem", "nad limitem"
QString verdictText(Verdict verdict);
// The signed distance to the nearer limit: positive within, negative outside, 0 on a limit.
double marginOf(double figure, const Limits& limits);

// The rows whose own figure lies outside the limits: how many, and the first validity date in time.
struct RowsOutside {
    int count = 0;
    QString firstDate;
    void note(const QString& date, double figure, const Limits& limits);
};

}  // namespace zorva::editor
