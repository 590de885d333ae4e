#pragma once
#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace zorva::service {

// An applicant as the registers know him, with the subject of the animal register.
struct Applicant {
    QString jisubrux, ico, rci, name;
    QString irzRci, irzJme, irzPri, irzOjm;
    QString regLpis, regIrz;  // registered in LPIS / IRZ: "A" or "N"
};

// The demo registers: users, applicants, LPIS acreage and herds, held in an in-memory SQLite
// database of its own (a connection name of its own, so that several services may live in one
// process, as they do in the tests).
class DemoData {
public:
    DemoData();
    ~DemoData();
    DemoData(const DemoData&) = delete;
    DemoData& operator=(const DemoData&) = delete;

    // Runs every statement of an SQL script file; raises a Failure naming the file and the statement
    // that failed.
    void loadFile(const QString& path);
    void runScript(const QString& script);

    bool knowsUser(const QString& userId) const;
    // By JISUBRUX, else by IČ, else by RČ; empty fields are not looked up.
    std::optional<Applicant> findApplicant(const QString& jisubrux, const QString& ico, const QString& rc) const;
    // LPIS acreage of the year in hectares; 0 when the register has none.
    double acreage(const QString& jisubrux, int year) const;
    // Count per category of 2006 on the first day of the month that contains the date.
    QMap<QString, int> herd(const QString& jisubrux, const QDate& date) const;

private:
    QString connection_;
};

// The statements of a script: split at ";" outside quoted text, with "--" comments removed.
QStringList splitSqlScript(const QString& script);

}  // namespace zorva::service
