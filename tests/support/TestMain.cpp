#include <gtest/gtest.h>
#include <QApplication>
#include <QLocale>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    // As the program does before its application, for the tests that print to PDF.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // Tests state their regional settings themselves; the default is Czech, as the users have it.
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
