#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "common/ProgramContext.h"

namespace zorva {

class DetachedLaunch;

// The platform's "open this document" service. On Windows it is the shell's "Open" verb. Here it
// is the desktop's opener xdg-open, started detached in the working folder; its outcome is mapped
// onto the shell's numbering:
//   working folder that does not exist      -> 3  (path not found)
//   local file that does not exist          -> 2  (file not found)
//   opener not installed or not startable   -> 32 (the needed component is missing)
//   opener reports "no method to open it"   -> 31 (no application associated), exit status 3
//   opener reports that the viewer failed   -> 31, exit status 4
//   opener reports a missing file           -> 2,  exit status 2
//   opener reports success                  -> 42 (success)
//   any other exit status                   -> 0  (no text: counts as no failure)
// The checks come back at once; the opener's own status comes to launch's late outcome when the
// opener ends (open() does not wait for it and reports the hand-over as success).
// A working folder that is a drive root ("C:\") has no meaning here and stands for no particular
// folder. The show command has no counterpart (the window manager places the window).
class XdgShellService : public ShellService {
public:
    // opener: the program to run, looked up on PATH unless it is a path.
    explicit XdgShellService(QString opener = QStringLiteral("xdg-open"));
    ~XdgShellService() override;

    XdgShellService(const XdgShellService&) = delete;
    XdgShellService& operator=(const XdgShellService&) = delete;

    int open(const QString& file, const QString& parameters, const QString& workingFolder, int showCommand) override;
    int launch(const QString& file, const QString& parameters, const QString& workingFolder, int showCommand,
               const LateOutcome& late) override;

private:
    QString opener_;
    std::vector<std::unique_ptr<DetachedLaunch>> launches_;  // openers that have not reported yet
};

}  // namespace zorva
