#include "common/SkipOnFailure.h"

#include <QDebug>

#include "common/DetailLog.h"
#include "common/Failure.h"

namespace zorva::detail {

void noteSkipped(const StepPlace& where, const std::exception& reason)
{
    if (!detailLog().isWarningEnabled()) return;
    const auto* failure = dynamic_cast<const Failure*>(&reason);
    // The build's own path up to the source folder says nothing about the step.
    QString file = QString::fromUtf8(where.file);
    if (const qsizetype src = file.lastIndexOf(QLatin1String("/src/")); src >= 0) file = file.mid(src + 5);
    qCWarning(detailLog).noquote() << QStringLiteral("Krok přeskočen (%1:%2, %3): %4")
                                          .arg(file)
                                          .arg(where.line)
                                          .arg(QString::fromUtf8(where.function),
                                               failure ? failure->text() : QString::fromLocal8Bit(reason.what()));
}

}  // namespace zorva::detail
