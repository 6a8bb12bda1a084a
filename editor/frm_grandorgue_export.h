#pragma once
// File > Export for GrandOrgue…: the organ file or package the console is to play, each of the
// console's keyboards, shoes and program-change pistons with the part of the organ it plays
// (each one can be changed), what fits nowhere, GrandOrgue's device name and the settings file
// to write: the one GrandOrgue reads for that organ unless the user chooses another.

#include "grandorgue/organ_mapping.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace vtl {

class ConsoleDocument;

class GrandOrgueExportWindow : public QDialog {
    Q_OBJECT

public:
    GrandOrgueExportWindow(const ConsoleModel& console, QWidget* parent);

    // Reads the organ file or package and shows the console's mapping onto it, each element
    // on its default target; an organ that cannot be read is said in the window.
    void OpenOrgan(const QString& path);
    // Writes the settings file and closes; a failure is said in the window, which stays.
    void accept() override;

private:
    void ChooseOrgan();
    void ChooseDestination();
    // One row per mapped element, its drop-down on its present target.
    void FillTable();
    // A row: the element in words and its drop-down, which tells choose the target chosen.
    void AddRow(int row, const std::string& element, TargetKind kind, int target,
                const std::function<void(int)>& choose);
    // The mapping again after a choice changed; the rows stay as they are.
    void Remap();
    void ShowUnmapped();

    const ConsoleModel& console_;
    std::optional<LoadedOrgan> organ_;
    MappingChoice choice_;
    OrganMapping mapping_;
    QLineEdit* organFile_;
    QLabel* organName_;
    QTableWidget* table_;
    QLineEdit* device_;
    QLineEdit* destination_;
    QListWidget* unmapped_;
    QLabel* message_;
};

// Shows the export window over the main window for the document's console.
void ExportForGrandOrgue(QWidget& window, const ConsoleDocument& document);

} // namespace vtl
