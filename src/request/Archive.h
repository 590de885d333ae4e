#pragma once
#include <QString>

#include "common/ProgramContext.h"
#include "platform/XmlDocument.h"
#include "request/RequestDocument.h"

namespace zorva::request {

// An advisor asks for several applicants in a row, and every exchange replaces the one response
// file and its page. Each successful exchange therefore also leaves a copy of the stored response
// and of its page (the main window's rendering) in the folder "archiv" beside the program, named
// after the applicant (JISUBRUX, else IČ, else RČ), the type and variant, the date or year and the
// time:
//   archiv/1000234567_typ4C_2006_20261208-093012.xml and .htm
// An answer that holds no result (a SOAP fault, an envelope without the service's data) goes with
// the same name form into "archiv/chyby" instead, so that the applicant's results are only results.
// Nothing here may stop the exchange: a folder or file that cannot be written costs a log line only.
// Returns the page filed among the applicant's results, or nothing (a failure, or no result).
QString archiveResponse(const ProgramContext& ctx, const RequestFields& fields);

// A page shown from the editor is filed beside the answers, its name marked "_upraveno", with the
// document as the editor holds it: an advisor finds what was shown and where it came from. Like the
// answers, a failure costs a log line only. Returns the page filed, or nothing.
QString archiveEditedPage(const ProgramContext& ctx, const RequestFields& fields, const xml::Document& doc);

// The request fields of an answer as its own header names them (applicant, type, variant, year), for
// a document that is filed without a request of this run, e.g. one opened from the archive.
RequestFields fieldsOfAnswer(const xml::Document& answer);

// The name of an archived exchange without its extension.
QString archiveName(const RequestFields& fields, const QDateTime& time);

// SETUP/PDF=1: every page filed in the archive gets its PDF beside it.
inline const QString kPdfKey = QStringLiteral("PDF");
bool archiveKeepsPdf(const ProgramContext& ctx);

inline const QString kArchiveFolder = QStringLiteral("\\archiv");
inline const QString kArchiveFailuresFolder = QStringLiteral("chyby");  // inside kArchiveFolder
inline const QString kEditedMark = QStringLiteral("_upraveno");

}  // namespace zorva::request
