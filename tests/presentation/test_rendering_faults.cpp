// The main window's rendering when the program folder cannot hold files (its path runs through a
// regular file): nothing raises out of the rendering, and nothing is written anywhere.
#include <gtest/gtest.h>

#include "presentation/Rendering.h"
#include "support/TestSupport.h"

using namespace zorva;
using namespace zorva::presentation;
using namespace zorva::test;

TEST(RenderingFaults, AFolderBelowARegularFileWritesNothingAndRaisesNothing)
{
    for (HtmlCheck check : {HtmlCheck::Checked, HtmlCheck::Unchecked, HtmlCheck::Grayed}) {
        TestProgram program;
        program.write(QStringLiteral("plain-file"), "x");
        ProgramContext ctx = program.ctx;
        ctx.folder = program.path(QStringLiteral("plain-file")) + QStringLiteral("/sub");
        EXPECT_NO_THROW(ZobrazOdpoved(ctx, check));
        xml::Document doc;
        ASSERT_TRUE(doc.loadXml(dataFile(QStringLiteral("samples/response-first.xml"))));
        EXPECT_NO_THROW(ZobrazEditor(ctx, doc, check));
        // The editor's rendering could not store its document: a message, the number first; the
        // main window's page has no response to show, or its XML file cannot be written, which it says.
        ASSERT_EQ(program.messages.shown.size(), 2u) << int(check);
        EXPECT_TRUE(program.messages.shown.back().text.contains(QLatin1Char('-')));
        EXPECT_EQ(program.read(QStringLiteral("plain-file")), QByteArray("x"));
        EXPECT_EQ(program.files(), QStringList{QStringLiteral("plain-file")});
    }
}
