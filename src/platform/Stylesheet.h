#pragma once
#include <QByteArray>
#include <QString>
#include <memory>

#include "platform/XmlDocument.h"

namespace zorva::xml {

// A compiled XSLT 1.0 stylesheet (the "template"). Loaded without validation and without resolving
// external resources; every transformation runs with security preferences that forbid file writes,
// directory creation and network access.
class Stylesheet {
public:
    // Nothing when the file is missing, unreadable or not a valid stylesheet.
    static std::unique_ptr<Stylesheet> compile(const QString& path);
    ~Stylesheet();

    // Transforms the input without parameters and returns the output as text (decoded), the way
    // the stylesheet's xsl:output serialises it (the declared encoding is named in a meta element or
    // declaration where the output method writes one). Raises a Failure when the transformation fails.
    QString transform(const Document& input) const;
    // The encoding that the stylesheet's xsl:output declares (empty when it declares none).
    QString outputEncoding() const;

private:
    Stylesheet() = default;
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace zorva::xml
