#include "editor/check_marks.h"

#include "editor/console_document.h"
#include "editor/console_view.h"

#include <algorithm>

namespace vtl {

ConsoleElement ViewElement(const FindingElement& element) {
    const ManualIndex manual{element.manual - 1};
    switch (element.kind) {
    case FindingElement::Kind::Keyboard:
        return ConsoleElement::Keyboard(manual);
    case FindingElement::Kind::Shoe:
        return ConsoleElement::Shoe(manual);
    case FindingElement::Kind::Piston:
        break;
    }
    return ConsoleElement::Piston({manual, element.piston - 1});
}

CheckMarks::CheckMarks(const ConsoleDocument& document, ConsoleView& view, QObject* parent)
    : QObject(parent), document_(document), view_(view) {
    connect(&document_, &ConsoleDocument::Changed, this, &CheckMarks::Check);
    Check();
}

void CheckMarks::Check() {
    findings_ = CheckConsole(document_.Console(), document_.Catalogue());
    for (const ConsoleElement& element : marked_)
        view_.ClearMark(element);
    marked_.clear();
    // An element named by several findings carries all their sentences, and the gravest
    // severity among them.
    struct Mark {
        ConsoleElement element;
        Severity severity;
        QStringList notes;
    };
    std::vector<Mark> marks;
    for (const Finding& finding : findings_) {
        const Severity severity =
            finding.severity == FindingSeverity::Warning ? Severity::Warning : Severity::Info;
        for (const FindingElement& named : finding.elements) {
            const ConsoleElement element = ViewElement(named);
            auto mark = std::find_if(marks.begin(), marks.end(),
                                     [&element](const Mark& m) { return m.element == element; });
            if (mark == marks.end()) mark = marks.insert(marks.end(), {element, severity, {}});
            mark->severity = std::max(mark->severity, severity);
            mark->notes << QString::fromStdString(finding.text);
        }
    }
    for (const Mark& mark : marks) {
        view_.Mark(mark.element, mark.severity, mark.notes.join(QLatin1Char(' ')));
        marked_.push_back(mark.element);
    }
    emit Changed();
}

} // namespace vtl
