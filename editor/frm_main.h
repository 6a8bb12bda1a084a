#pragma once
// The main window: menus, toolbar and the console picture, and the 100 ms timer that drives
// the transfers. It only shows and forwards; the application does the work.

#include <QMainWindow>
#include <QString>

#include <array>

class QAction;
class QFrame;
class QLabel;
class QTimer;

namespace vtl {

class MainActions;

class frmMain : public QMainWindow {
public:
    // Command numbers whose toolbar button and menu item are enabled together.
    enum Command { kLoad = 0, kSave = 1, kLoadOrgan = 2, kWrite = 3, kCopy = 4, kPaste = 5 };

    frmMain(MainActions& actions, const QString& programFolder, QWidget* parent = nullptr);

    // The start choice handed over: "New", "Load" or empty; acted on at the next activation.
    void setAction(const QString& action) { txtAction_ = action; }
    void startTimer();
    void stopTimer();

    // The console view.
    void ShowManuals(int manualCount);
    void HideManuals();
    void ShowReading();
    void SetCommandsNoData();
    void SetCommandsDataLoaded();
    void SetCommandEnabled(int command, bool enabled);
    bool commandEnabled(int command) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildConsoleView();
    QAction* AddToolbarButton(const QString& key, const QString& tooltip);

    MainActions& actions_;
    QString programFolder_;
    QString txtAction_;
    QTimer* timer_;
    // Per command: the menu item and the toolbar button.
    std::array<QAction*, 6> menuItems_{};
    std::array<QAction*, 6> toolbarButtons_{};
    std::array<QFrame*, 3> fraManual_{};
    QFrame* shaInstructions_ = nullptr;
    QFrame* shaStart_ = nullptr;
    QLabel* lblNote_ = nullptr;
};

} // namespace vtl
