#pragma once
#include <QWidget>
#include <functional>
#include <memory>

#include "editor/ui/EditorWindow.h"

namespace zorva::editor {

// How an opened editor is shown: modally by default; tests put their own steps here instead.
using ShowModal = std::function<void(EditorWindow&)>;
// Told the document whenever the editor's "Zobraz" has shown its page.
using PageShown = std::function<void(const xml::Document&)>;

// Opens the editor of the given generation on the document, in the order the main window has always
// used: load the window, hand it the document, Startuj, show it modally, unload, release. A new window
// object every time, so nothing of an earlier opening carries over. Returns when the user closed it.
void openEditor(const ProgramContext& ctx, const CategorySet& set, std::shared_ptr<xml::Document> doc, QWidget* parent,
                const ShowModal& showModal = {}, const PageShown& pageShown = {});

// The editor chosen by the year text: "2006" and "2007" exactly open frmEditace2006.
void openEditorForYear(const ProgramContext& ctx, const QString& yearText, std::shared_ptr<xml::Document> doc,
                       QWidget* parent, const ShowModal& showModal = {}, const PageShown& pageShown = {});

}  // namespace zorva::editor
