#include "editor/ui/EditorOpener.h"

namespace zorva::editor {

void openEditor(const ProgramContext& ctx, const CategorySet& set, std::shared_ptr<xml::Document> doc, QWidget* parent,
                const ShowModal& showModal, const PageShown& pageShown)
{
    auto window = std::make_unique<EditorWindow>(ctx, set, parent);
    window->pageShown = pageShown;
    window->setXmlDOM(std::move(doc));
    window->Startuj();
    if (showModal) showModal(*window);
    else window->exec();
    window->unload();
}

void openEditorForYear(const ProgramContext& ctx, const QString& yearText, std::shared_ptr<xml::Document> doc,
                       QWidget* parent, const ShowModal& showModal, const PageShown& pageShown)
{
    const CategorySet& set = doc ? CategorySet::forResponse(*doc, yearText) : CategorySet::forYearText(yearText);
    openEditor(ctx, set, std::move(doc), parent, showModal, pageShown);
}

}  // namespace zorva::editor
