// The main window's rendering when the program folder cannot hold files (its path runs through a
// regular file): each rendering tells what it could not do, opens nothing and writes nothing
// anywhere.
#include <gtest/gtest.h>

#include <QDir>

#include "presentation/Rendering.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::presentation;
using namespace zorva::test;

TEST(RenderingFaults, AFolderBelowARegularFileWritesNothingAndTellsWhy)
{
    for (HtmlCheck check : {HtmlCheck::Checked, HtmlCheck::Unchecked, HtmlCheck::Grayed}) {
        TestProgram program;
        program.write(QStringLiteral("plain-file"), "x");
        ProgramContext ctx = program.ctx;
        ctx.folder = program.path(QStringLiteral("plain-file")) + QStringLiteral("/sub");

        // The main window's page and its XML view cannot write the file they are made through, which
        // they say; nothing is opened.
        ZobrazOdpoved(ctx, check);
        const QString written = check == HtmlCheck::Checked ? QStringLiteral("ZORVA_VDJ1B_response_.xml")
                                                            : QStringLiteral("ZORVA_VDJ1B_response_XSL.xml");
        EXPECT_EQ(program.messages.texts().join('\n'),
                  QStringLiteral("Sestavu nelze zobrazit. Cesta nebyla nalezena: %1.")
                      .arg(QDir::toNativeSeparators(ctx.folder + QLatin1Char('/') + written)))
            << int(check);

        // The editor's rendering cannot store its document: the message of the failed save, the
        // number first, and the rendering ends there.
        program.messages.shown.clear();
        xml::Document doc;
        ASSERT_TRUE(doc.loadXml(dataFile(QStringLiteral("samples/response-first.xml"))));
        ZobrazEditor(ctx, doc, check);
        EXPECT_EQ(program.messages.texts().join('\n').toStdString(),
                  "76-Cesta nebyla nalezena: " + QDir::toNativeSeparators(ctx.file(kResponseFile)).toStdString())
            << int(check);

        EXPECT_TRUE(program.shell.calls.empty()) << int(check);
        EXPECT_EQ(program.read(QStringLiteral("plain-file")), QByteArray("x"));
        EXPECT_EQ(program.files(), QStringList{QStringLiteral("plain-file")});
    }
}
