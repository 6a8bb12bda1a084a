#pragma once
// The main window's commands as one table: each row is a menu item, a separator, or both an
// item and a toolbar button, with the rule that says when it can be used and what it does.
// The menus and the toolbar are built from the rows in their order; the rules are evaluated
// in one place, whenever what they depend on has changed.

#include <QKeySequence>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMainWindow;

namespace vtl {

struct Command {
    const char* menu = nullptr; // the menu's title, such as "&File"
    const char* text = nullptr; // the item's text (UTF-8); none: a separator in the menu
    QKeySequence shortcut{};
    // The toolbar button's bitmap in the program folder without ".bmp", also its objectName;
    // none: the command has no button.
    const char* bitmap = nullptr;
    const char* tooltip = "";        // the button's tooltip and status tip
    bool toolbarGap = false;         // a separator before the button
    const char* name = nullptr;      // the item's objectName, where one is needed
    const char* about = nullptr;     // what a screen reader and the status bar say of the item
    std::function<bool()> enabled{}; // when the command can be used; none: always
    std::function<bool()> checked{}; // for an option: when it is on; none: not an option
    std::function<void()> handler{}; // none: the command does nothing yet
};

class CommandTable {
public:
    // Adds the menus and the toolbar "tbrMain" to the window; the bitmaps are read from the
    // folder.
    CommandTable(QMainWindow& window, std::vector<Command> rows, const QString& bitmapFolder);

    // Every command enabled, and every option checked, as its rules say now.
    void Refresh();

private:
    struct Built {
        Command row;
        QAction* item = nullptr;
        QAction* button = nullptr;
    };

    std::vector<Built> commands_;
};

} // namespace vtl
