#pragma once
// Console files as the user handles them: loaded and saved through the file dialogs, and the
// question whether edits neither saved nor written may go.

#include <QObject>
#include <QString>

namespace vtl {

struct AppState;
class ConsoleDocument;
class MainWindow;

class ConsoleFiles : public QObject {
    Q_OBJECT

public:
    // The dialogs and message boxes belong to the main window, whose view shows a console
    // loaded.
    ConsoleFiles(AppState& state, ConsoleDocument& document, MainWindow& main);

    // The commands.
    void LoadConfigurationFile();
    void SaveConfigurationFile();
    // A file named by the user elsewhere (a second copy of the program) is loaded as the
    // command loads one.
    void LoadAsked(const QString& path);
    // Loads the file, or tells the user why not, leaving the console as it was.
    void LoadFile(const QString& path);
    // Asked before the console in memory is replaced or the program ends: false when the user
    // wants to go back to edits not yet saved or written.
    bool MayDiscardEdits();

signals:
    // The console in memory is about to be replaced: before the question about its edits.
    void Replacing();
    // A console file was loaded.
    void Loaded();

private:
    // Writes the console to a file the user names; false when nothing was saved.
    bool SaveToFile();

    AppState& state_;
    ConsoleDocument& document_;
    MainWindow& main_;
};

} // namespace vtl
