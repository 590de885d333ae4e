#pragma once
#include <QString>

namespace zorva::request {

// The identifier the service looks the applicant up by: JISUBRUX, else IČ, else RČ; a field of
// blanks only is no identifier.
inline QString applicantIdentifier(const QString& jisubrux, const QString& ico, const QString& rc)
{
    for (const QString* field : {&jisubrux, &ico, &rc})
        if (!field->trimmed().isEmpty()) return field->trimmed();
    return QString();
}

}  // namespace zorva::request
