#pragma once
#include <QByteArray>
#include <QDate>
#include <QString>
#include <variant>

namespace zorva::service {

// A SOAP fault: "SOAP:Client" for a request the service cannot answer, "SOAP:Server" for a failure
// of its own; the text is shown to the user as it stands, so it is Czech.
struct Fault {
    QString code;
    QString text;
};

// The values of one request document, as sent.
struct RequestFields {
    QString userId;  // kLIM:UIDkey/@userID
    QString jisubrux, ico, rc;
    QString type;      // RUX:VARPICH
    QString variant;   // RUX:PICHVYPOCET
    QString validity;  // RUX:ROKPLATNOST: a date (types 1-3) or a year (types 4-6)
    QString acreage;   // RUX:VYMERA
};

// What the figures are asked for.
struct Parameters {
    int type = 0;        // 1..6
    QString variant;     // "A", "B" or "C"
    QDate date;          // types 1-3
    int year = 0;        // the year of the date, or the year asked for
    double acreage = 0;  // type 6: the acreage asked for
};

inline constexpr qsizetype maxRequestBytes = 1024 * 1024;

// The fault for a request body over maxRequestBytes, whether its length was announced or counted.
Fault requestTooLarge();
// The fault for a request whose length cannot be checked before its body is read (a chunked body).
Fault requestWithoutLength();

// Reads a request body. A body over 1 MB is refused unread; a body that is no XML document, or
// one without a request record, is a fault. Missing fields read as empty texts.
std::variant<RequestFields, Fault> readRequest(const QByteArray& body);

// Checks the type, the variant, the date or year and the acreage, in this order.
std::variant<Parameters, Fault> checkParameters(const RequestFields& fields);

}  // namespace zorva::service
