#pragma once
// The console check's list, in a small window beside the main window: every finding's
// sentence, warnings first. Choosing one (Enter or a double click) asks for the first element
// it names, which the console view then brings into focus.

#include "editor/console_element.h"
#include "model/console_check.h"

#include <QWidget>

#include <vector>

class QListWidget;

namespace vtl {

class CheckWindow : public QWidget {
    Q_OBJECT

public:
    explicit CheckWindow(QWidget* parent);

    void ShowFindings(const std::vector<Finding>& findings);
    // Shows the window (beside its parent the first time) with the list in focus.
    void Bring();

signals:
    void ElementChosen(vtl::ConsoleElement element);

private:
    QListWidget* list_;
    std::vector<ConsoleElement> firstElements_; // by row
    bool placed_ = false;
};

} // namespace vtl
