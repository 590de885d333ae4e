#pragma once
#include <QDialog>

#include "request/ArchiveIndex.h"
#include "request/Comparison.h"

class QTableWidget;

namespace zorva::request {

// Two results of one applicant side by side: the yearly figures, then the intensities of every
// validity date, each with how much the second differs from the first.
class ComparisonWindow : public QDialog {
    Q_OBJECT
public:
    ComparisonWindow(const Comparison& comparison, const ArchivedResult& first, const ArchivedResult& second,
                     QWidget* parent = nullptr);

    QTableWidget* table = nullptr;
};

// How a result is named above the comparison: "1000234567 Farma, typ 4C, 2006, 8. 12. 2026 9:30 (upraveno)".
QString resultTitle(const ArchivedResult& result);

}  // namespace zorva::request
