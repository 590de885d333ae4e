#pragma once
#include <QDateTime>
#include <QString>
#include <functional>

namespace zorva {

enum class MessageIcon {
    None,
    Critical
};

enum class Answer {
    Yes,
    No,
    Cancel
};

// Every message box of the program passes through this interface: the windows show a real box,
// tests record the text instead of blocking on a modal dialog.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const QString& text, MessageIcon icon) = 0;
    // A question with "Ano", "Ne" and "Storno".
    virtual Answer ask(const QString& text) = 0;
};

// The platform's "open this document in its associated program". The result follows the shell's
// numbering: above 32 is success; 2, 3, 5, 8, 31 and 32 are the failures the launcher names.
class ShellService {
public:
    // Told the code of a launch whose outcome is known only after it was handed over.
    using LateOutcome = std::function<void(int code)>;

    virtual ~ShellService() = default;
    virtual int open(const QString& file, const QString& parameters, const QString& workingFolder, int showCommand) = 0;
    // As open, without waiting for an opener that reports only when it has ended: the result is
    // then success at once, and the opener's own code comes to late on the event loop. By default
    // every outcome is known at once.
    virtual int launch(const QString& file, const QString& parameters, const QString& workingFolder, int showCommand,
                       const LateOutcome& late)
    {
        (void)late;
        return open(file, parameters, workingFolder, showCommand);
    }
};

// Time and chance, replaceable so that temporary names and request stamps can be pinned in tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    virtual void reseed() = 0;    // seeds the random source from the timer
    virtual double random() = 0;  // a value in [0, 1)
};

// What every part of the program needs to know about where it runs. One value, made in main() for
// the real program and in each test for a temporary folder.
struct ProgramContext {
    QString folder;  // the program folder, a native path without trailing separator
    QString programName = QStringLiteral("ZORVA_VDJ");
    MessageBoxes* messages = nullptr;
    ShellService* shell = nullptr;
    Clock* clock = nullptr;

    // A file of the program folder, named as the system names them: "\ZORVA_VDJ1B_response.xml".
    QString file(const QString& backslashName) const;
    // The settings file: program folder, program name, ".INI".
    QString settingsFile() const;
    void message(const QString& text, MessageIcon icon = MessageIcon::None) const;
    // Without anyone to ask (a headless run) the question is taken as answered "Ano".
    Answer ask(const QString& text) const;
};

}  // namespace zorva
