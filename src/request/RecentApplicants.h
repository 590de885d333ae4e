#pragma once
#include <QString>
#include <vector>

#include "common/ProgramContext.h"
#include "platform/XmlDocument.h"

namespace zorva::request {

// An applicant as an earlier successful exchange knew them.
struct KnownApplicant {
    QString jisubrux, ico, rc;
    QString name;  // from the answer
    bool operator==(const KnownApplicant& o) const { return jisubrux == o.jisubrux && ico == o.ico && rc == o.rc; }
};

// The applicants of the latest successful exchanges, newest first, at most kRecentApplicants, kept in
// the program folder ("\ZORVA_VDJ_zadatele.csv", UTF-8, semicolons), so that an advisor does not
// type a farm anew each morning.
inline constexpr int kRecentApplicants = 50;
inline const QString kRecentApplicantsFile = QStringLiteral("\\ZORVA_VDJ_zadatele.csv");

std::vector<KnownApplicant> recentApplicants(const ProgramContext& ctx);
// Puts the applicant first (once). A file that cannot be written costs the list only: the exchange
// it follows has succeeded. Whether it was written.
bool rememberApplicant(const ProgramContext& ctx, const KnownApplicant& applicant);

// The applicant's name as the answer gives it: the business name, else first name and surname.
QString applicantNameOf(const xml::Document& answer);

}  // namespace zorva::request
