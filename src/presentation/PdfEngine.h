#pragma once
#include <QByteArray>
#include <QString>
#include <QtPlugin>
#include <functional>
#include <memory>

namespace zorva::presentation {

// The web engine's part of printing a page to PDF. It lives in a module of its own (src/pdf,
// zorva_pdf), which PdfPrinter loads on its first job, so that a program that never prints never
// maps the engine's libraries. The module links Qt alone: nothing of the program's crosses this
// boundary but these two classes, and no exception crosses it.
class PdfEngine {
public:
    enum class Outcome {
        Printed,     // `pdf` holds the document
        NotLoaded,   // the page would not open
        NotPrinted,  // the page opened, the engine printed nothing
        Ended,       // the engine's helper process ended under the page
    };
    // Called once for every print(), from the event loop, never within print().
    using Answer = std::function<void(Outcome outcome, const QByteArray& pdf)>;

    virtual ~PdfEngine() = default;

    // Prints the page at this absolute path to A4 landscape. The page is read with no script and may
    // load nothing but itself and the data it carries inline. One page at a time: the next print()
    // comes after the answer. Destroying the engine drops the page under way without an answer.
    virtual void print(const QString& page) = 0;
};

// The module's one object, which starts engines. Starting one takes about a third of a second.
class PdfEngineFactory {
public:
    virtual ~PdfEngineFactory() = default;
    virtual std::unique_ptr<PdfEngine> start(PdfEngine::Answer answer) = 0;
};

}  // namespace zorva::presentation

// A module built against another form of these classes offers another name and is refused.
#define ZORVA_PDF_ENGINE_IID "org.zorva.vdj.PdfEngineFactory/1"
Q_DECLARE_INTERFACE(zorva::presentation::PdfEngineFactory, ZORVA_PDF_ENGINE_IID)
