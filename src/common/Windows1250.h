#pragma once
#include <QByteArray>
#include <QString>

namespace zorva {

// What to write for a character that Windows-1250 cannot hold.
enum class Windows1250Unmappable {
    Question,  // "?", as the system's own conversion does for settings and log texts
    CharRef,   // "&#N;" with the character's Unicode code point, for HTML pages
};

// The Czech single-byte code page, which stands for the system's ANSI code page wherever the
// program writes or reads "ANSI" text (settings file, error log, rendered page).
QByteArray toWindows1250(const QString& text, Windows1250Unmappable mode = Windows1250Unmappable::Question);
QString fromWindows1250(const QByteArray& bytes);

}  // namespace zorva
