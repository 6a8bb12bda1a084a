#pragma once
// Qt Test cases of the shell's dialogs, one class so that one QTEST_MAIN runs them all.

#include <QObject>

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // MIDI device setup.
    void SetupListsDevicesByName_data();
    void SetupListsDevicesByName();
    void SetupOkStoresPositionsAndNames_data();
    void SetupOkStoresPositionsAndNames();
    void SetupSecondShowEndsWith();
    void SetupOpenedByMainWindowLandsOverIt();

    // Status window.
    void StatusKeepsEndInView();
    void StatusClosingClearsText();
    void StatusBarFollowsTheFigures();

    // Documentation launch.
    void OpenDocument();
};
