#pragma once
// Qt Test cases of the shell's dialogs, one class so that one QTEST_MAIN runs them all.

#include <QObject>

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // MIDI device setup.
    void setupListsDevicesByName_data();
    void setupListsDevicesByName();
    void setupOkStoresPositionsAndNames_data();
    void setupOkStoresPositionsAndNames();
    void setupSecondShowEndsWith();
    void setupOpenedByMainWindowLandsOverIt();

    // Status window.
    void statusKeepsEndInView();
    void statusClosingClearsText();
    void statusBarFollowsTheFigures();

    // Documentation launch.
    void openDocument();
};
