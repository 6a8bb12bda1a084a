#pragma once
// The console check kept up with the document: it runs on every change (an edit, a read, a
// load), marks each element a finding names on the console view with the finding's sentence,
// and tells whoever lists the findings.

#include "editor/console_element.h"
#include "model/console_check.h"

#include <QObject>

#include <vector>

namespace vtl {

class ConsoleDocument;
class ConsoleView;

class CheckMarks : public QObject {
    Q_OBJECT

public:
    CheckMarks(const ConsoleDocument& document, ConsoleView& view, QObject* parent = nullptr);

    const std::vector<Finding>& Findings() const { return findings_; }

signals:
    void Changed();

private:
    void Check();

    const ConsoleDocument& document_;
    ConsoleView& view_;
    std::vector<Finding> findings_;
    std::vector<ConsoleElement> marked_;
};

// Where on the console view an element a finding names is.
ConsoleElement ViewElement(const FindingElement& element);

} // namespace vtl
