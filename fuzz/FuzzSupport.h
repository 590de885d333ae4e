#pragma once
#include <QCoreApplication>
#include <QLocale>
#include <cstdio>
#include <cstdlib>

// What every fuzz target shares: one application object (Qt's text codecs and file routines expect
// one), the users' Czech regional settings, and a loud stop when a property does not hold.
namespace zorva::fuzz {

inline void startApplication()
{
    static int argc = 1;
    static char name[] = "zorva_fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
}

[[noreturn]] inline void fail(const char* what, const QString& detail = QString())
{
    std::fprintf(stderr, "PROPERTY VIOLATED: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

#define ZORVA_FUZZ_CHECK(cond, detail)                     \
    do {                                                   \
        if (!(cond)) ::zorva::fuzz::fail(#cond, (detail)); \
    } while (0)

// Splits the input into pieces at the byte 0x1F, so that one input can carry several field texts.
inline std::vector<QByteArray> pieces(const uint8_t* data, size_t size, size_t count)
{
    std::vector<QByteArray> out;
    QByteArray all(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& p : all.split('\x1f')) {
        if (out.size() == count) break;
        out.push_back(p);
    }
    while (out.size() < count) out.emplace_back();
    return out;
}

}  // namespace zorva::fuzz
