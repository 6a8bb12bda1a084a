#include "shell/console_files.h"

#include "editor/console_document.h"
#include "editor/console_view.h"
#include "editor/frm_main.h"
#include "link/product.h"
#include "model/config_file.h"
#include "shell/app_paths.h"
#include "shell/app_state.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace vtl {
namespace {

QString FileFilter() {
    return QString::fromLatin1(kProductName) + QStringLiteral(" Config File (*.vtl)");
}

} // namespace

ConsoleFiles::ConsoleFiles(AppState& state, ConsoleDocument& document, MainWindow& main)
    : state_(state), document_(document), main_(main) {}

void ConsoleFiles::LoadConfigurationFile() {
    emit Replacing();
    if (!MayDiscardEdits()) return;
    const QString path =
        QFileDialog::getOpenFileName(&main_, QStringLiteral("Load Configuration From File"),
                                     ExistingFolder(state_.configFolder), FileFilter());
    if (path.isEmpty()) return;
    LoadFile(path);
}

void ConsoleFiles::LoadAsked(const QString& path) {
    emit Replacing();
    if (MayDiscardEdits()) LoadFile(path);
}

void ConsoleFiles::LoadFile(const QString& path) {
    state_.configFolder = QFileInfo(path).absolutePath();
    const auto loaded = LoadConfigFile(state_.console, path.toStdString());
    if (!loaded) {
        // Nothing of the file was taken: the console shown stays; the user is told what is
        // wrong with which file and line.
        QMessageBox::warning(&main_, kWindowTitle, QString::fromStdString(loaded.error().message));
        return;
    }
    main_.View().HideManuals();
    document_.MarkLoaded(path);
    main_.View().ShowManuals();
    emit Loaded();
}

void ConsoleFiles::SaveConfigurationFile() {
    SaveToFile();
}

bool ConsoleFiles::SaveToFile() {
    QString path =
        QFileDialog::getSaveFileName(&main_, QStringLiteral("Save Configuration To File"),
                                     ExistingFolder(state_.configFolder), FileFilter());
    if (path.isEmpty()) return false;
    state_.configFolder = QFileInfo(path).absolutePath();
    // A name without an ending gets ".vtl", so the Load dialog's filter shows it; a dot in a
    // folder's name (~/.config, My.Files) does not count.
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.'))) path += QStringLiteral(".vtl");
    const auto saved = SaveConfigFile(state_.console, path.toStdString());
    if (!saved) {
        QMessageBox::warning(&main_, QStringLiteral("File Save Error!"),
                             QString::fromStdString(saved.error().message) + QStringLiteral(" : ") +
                                 path);
        return false;
    }
    document_.MarkSaved(path);
    QMessageBox::information(&main_, QString::fromLatin1(kProductName),
                             QStringLiteral("Successfully saved to file: ") +
                                 QFileInfo(path).fileName());
    return true;
}

bool ConsoleFiles::MayDiscardEdits() {
    if (!document_.HasUnsavedEdits()) return true;
    const auto answer = QMessageBox::question(
        &main_, QString::fromLatin1(kWindowTitle),
        QStringLiteral("The console has changes that are neither written to the MCUs nor saved "
                       "to a file.\n\nSave them to a file?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard) return true;
    return answer == QMessageBox::Save && SaveToFile();
}

} // namespace vtl
