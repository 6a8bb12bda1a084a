#pragma once
// Qt Test cases of the shell's dialogs, one class so that one QTEST_MAIN runs them all.

#include <QObject>

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // MIDI device setup.
    void setupListsDevicesByName();
    void setupSelectsStoredDevice_data();
    void setupSelectsStoredDevice();
    void setupOkStoresPositionsAndNames_data();
    void setupOkStoresPositionsAndNames();
    void setupOkKeepsListsForNextShow();
    void setupCancelKeepsSettingsAndReloadsNextShow();
    void setupShowModalReportsCancel_data();
    void setupShowModalReportsCancel();
    void setupListingErrorReportsNoMidiCard_data();
    void setupListingErrorReportsNoMidiCard();
    void setupOpenedByMainWindowLandsOverIt();

    // Status window.
    void statusKeepsEndInView_data();
    void statusKeepsEndInView();
    void statusShowsLineBreaks();
    void statusClosingClearsText_data();
    void statusClosingClearsText();
    void statusClickIntoTextFocusesClose();

    // Documentation launch.
    void openDocument_data();
    void openDocument();
};
