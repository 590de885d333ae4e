#pragma once
#include <QString>

namespace zorva::service {

// The first identifier of the generated applicants; the n-th one is kFirstGeneratedApplicant + n - 1.
inline constexpr qint64 kFirstGeneratedApplicant = 2000000001;

// An SQL script that adds `count` generated applicants to the demo registers: identifiers from
// 2000000001 on, company numbers, herds that differ in size and kind (cattle, sheep, goats, horses,
// conventional or organic) with seasonal changes, and acreage for 2004-2007. The same count always
// gives the same script, so that batches over them can be compared from run to run.
QString generatedApplicantsScript(int count);

}  // namespace zorva::service
