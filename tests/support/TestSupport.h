#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <string>
#include <vector>

#include "common/ProgramContext.h"

class QWidget;

namespace zorva::test {

struct ShownMessage {
    QString text;
    MessageIcon icon;
};

// Records every message box instead of showing it.
class RecordingMessages : public MessageBoxes {
public:
    void show(const QString& text, MessageIcon icon) override { shown.push_back({text, icon}); }
    // Questions are answered from `answers` in turn, then "Ano".
    Answer ask(const QString& text) override
    {
        asked << text;
        if (answers.empty()) return Answer::Yes;
        const Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    std::vector<ShownMessage> shown;
    QStringList asked;
    std::vector<Answer> answers;
    QStringList texts() const;
};

struct ShellCall {
    QString file, parameters, workingFolder;
    int showCommand;
};

// Records every launch and answers with a chosen shell code (42, success, unless told otherwise).
class RecordingShell : public ShellService {
public:
    int open(const QString& file, const QString& parameters, const QString& workingFolder, int showCommand) override
    {
        calls.push_back({file, parameters, workingFolder, showCommand});
        if (whenOpened) whenOpened();
        return result;
    }
    std::vector<ShellCall> calls;
    std::function<void()> whenOpened;
    int result = 42;
};

// A clock that stands still unless moved, and a random source that replays a list.
class FixedClock : public Clock {
public:
    QDateTime now() const override { return time; }
    void reseed() override {}
    double random() override
    {
        if (randoms.empty()) return 0.2;
        double r = randoms.front();
        if (randoms.size() > 1) randoms.erase(randoms.begin());
        return r;
    }
    QDateTime time = QDateTime(QDate(2006, 12, 31), QTime(14, 0, 0));
    std::vector<double> randoms;
};

// A fresh program folder with recording seams; removed when the test ends.
// Saves what a window looks like when ZORVA_SCREENSHOTS names a folder (the pictures of the README).
void keepScreenshot(QWidget& window, const std::string& name);

class TestProgram {
public:
    TestProgram();
    ProgramContext ctx;
    RecordingMessages messages;
    RecordingShell shell;
    FixedClock clock;
    QString folder() const { return ctx.folder; }
    QString path(const QString& name) const { return ctx.file(name); }
    void write(const QString& name, const QByteArray& content) const;
    // A file one byte larger than a document may be; sparse, so that it costs neither time nor disk.
    void writeOversized(const QString& name) const;
    QByteArray read(const QString& name) const;
    bool exists(const QString& name) const;
    QStringList files(const QString& pattern = QStringLiteral("*")) const;
    // Copies a file of the source tree's data folder into the program folder.
    void copyData(const QString& dataName, const QString& asName = QString()) const;

private:
    QTemporaryDir dir_;
};

// A real small file system (tmpfs) mounted on a temporary folder while the object lives, for the
// writes that meet a full disk. Mounting needs the superuser, as whom the tests run; where the system
// does not allow it, mounted() is false and `why` says so, for the test to report.
class SmallDisk {
public:
    explicit SmallDisk(int kilobytes = 256);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    // Takes all the room but about `leaveBytes` with a file of its own, "plnivo".
    void fill(qint64 leaveBytes = 0) const;
    QString why;

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// Sets the process's regional settings for the lifetime of the object.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) : old_(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(old_); }
    static QLocale czech() { return QLocale(QLocale::Czech, QLocale::CzechRepublic); }
    static QLocale english() { return QLocale(QLocale::English, QLocale::UnitedStates); }

private:
    QLocale old_;
};

QByteArray dataFile(const QString& name);

}  // namespace zorva::test
