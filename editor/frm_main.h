#pragma once
// The main window: menus and toolbar above the console view. A click on a piston, a keyboard or a
// shoe button opens its editor over the element's manual.

#include "editor/console_element.h"
#include "editor/editor_host.h"

#include <QCursor>
#include <QMainWindow>

#include <functional>

namespace vtl {

class ConsoleDocument;
class ConsoleView;
class ChannelEditor;
class PistonEditor;
class ShoeEditor;

class MainWindow : public QMainWindow, public EditorHost {
public:
    // The editors change the console through the document; the bitmaps and the cursor are
    // read from the program folder.
    MainWindow(ConsoleDocument& document, const QString& programFolder, QWidget* parent = nullptr);

    ConsoleView& View() const { return *view_; }
    // Done once, when the window next comes up: what the start choice asked for.
    void DoWhenActivated(std::function<void()> act) { whenActivated_ = std::move(act); }
    // Asked when the user closes the window: false keeps it open.
    void OnClose(std::function<bool()> close) { close_ = std::move(close); }
    // The design's size. Measuring the menu bar wants the fonts, so the constructor leaves this
    // to the first show (or to whoever places the window before it): the window can then be
    // built while the fonts are still being loaded.
    void ResizeToDesign();
    void setVisible(bool visible) override;

    // EditorHost.
    void PlaceOverManual(QWidget& dialog, ManualIndex manual) const override;
    const QCursor& HandCursor() const override { return handCursor_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void OpenPiston(PistonSlot slot);
    void OpenKeyboard(ManualIndex manual);
    void OpenShoe(ManualIndex manual);

    ConsoleDocument& document_;
    QCursor handCursor_;
    std::function<void()> whenActivated_;
    std::function<bool()> close_;
    ConsoleView* view_;
    // Made at their first use, then only hidden and shown again.
    PistonEditor* pistonEditor_ = nullptr;
    ChannelEditor* channelsEditor_ = nullptr;
    ShoeEditor* shoeEditor_ = nullptr;
};

} // namespace vtl
