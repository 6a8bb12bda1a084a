#pragma once
// The main window: menus, toolbar and the console picture, and the 100 ms timer that drives
// the transfers. A click on a piston, a keyboard or a shoe button opens its editor; the
// window shows each element's setting at a glance.

#include "editor/editor_host.h"

#include <QCursor>
#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>

class QAction;
class QDialog;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace vtl {

class FocusRing;
class KeyboardPicture;
class MainActions;
class PistonButton;
class frmMIDIChannels;
class frmPiston;
class frmShoeSetup;
struct ConsoleModel;
struct FunctionCatalogue;

class frmMain : public QMainWindow, public EditorHost {
public:
    // Command numbers whose toolbar button and menu item are enabled together.
    enum Command { kLoad = 0, kSave = 1, kLoadOrgan = 2, kWrite = 3, kCopy = 4, kPaste = 5 };

    // The editors change the console in place; the catalogue names what they offer.
    frmMain(MainActions& actions, ConsoleModel& console, const FunctionCatalogue& catalogue,
            const QString& programFolder, QWidget* parent = nullptr);

    // The start choice handed over: "New", "Load" or empty; acted on at the next activation.
    void setAction(const QString& action) { txtAction_ = action; }
    void startTimer();
    void stopTimer();
    // The design's size. Measuring the menu bar wants the fonts, so the constructor leaves this
    // to the first show (or to whoever places the window before it): the window can then be
    // built while the fonts are still being loaded.
    void resizeToDesign();
    void setVisible(bool visible) override;

    // The console view.
    void ShowManuals(int manualCount);
    void HideManuals();
    void ShowReading();
    // Every piston's face, keyboard's channels and shoe's setting, and what a screen reader
    // says of them, from the console model.
    void RefreshConsoleView();
    void SetCommandsNoData();
    void SetCommandsDataLoaded();
    void SetCommandEnabled(int command, bool enabled);
    bool commandEnabled(int command) const;
    // Shows the option as the settings hold it; a click on it tells the actions.
    void setVerifyAfterWrite(bool on);

    // EditorHost.
    void PlaceOverManual(QWidget& dialog, int m) const override;
    void SetPistonToolTip(int k, const QString& text) override;
    const QCursor& handCursor() const override { return hand_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The elements of one manual's panel.
    struct Panel {
        QFrame* fraManual;
        KeyboardPicture* picKeyboard;
        QLabel* lblChannels; // the keyboard's channels
        QLabel* lblPistons;  // the short label of the piston under the pointer or in focus
        QPushButton* btnAddShoe;
        QLabel* lblShoe; // the shoe's setting
    };

    void BuildMenus();
    void BuildToolbar();
    void BuildConsoleView();
    void BuildLegend(QWidget* client);
    QAction* AddToolbarButton(const QString& key, const QString& tooltip);
    void OpenPiston(int k);
    void OpenKeyboard(int m);
    void OpenShoe(int m);
    void ShowEditor(QDialog& editor);

    MainActions& actions_;
    ConsoleModel& console_;
    const FunctionCatalogue& catalogue_;
    QString programFolder_;
    QCursor hand_;
    QString txtAction_;
    QTimer* timer_;
    // Per command: the menu item and the toolbar button.
    std::array<QAction*, 6> menuItems_{};
    std::array<QAction*, 6> toolbarButtons_{};
    QAction* mnuVerifyAfterWrite_ = nullptr;
    std::array<Panel, 3> panels_{};
    std::array<PistonButton*, 60> cmdPiston_{};
    QFrame* shaInstructions_ = nullptr;
    QFrame* shaStart_ = nullptr;
    QWidget* legend_ = nullptr;
    FocusRing* focusRing_ = nullptr;
    bool focusByKeys_ = false; // whether the last move of the focus was by Tab
    // Loaded at their first use, then only hidden and shown again.
    frmPiston* frmPiston_ = nullptr;
    frmMIDIChannels* frmMIDIChannels_ = nullptr;
    frmShoeSetup* frmShoeSetup_ = nullptr;
};

} // namespace vtl
