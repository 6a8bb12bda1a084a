#include "editor/command_table.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QToolBar>

namespace vtl {

CommandTable::CommandTable(QMainWindow& window, std::vector<Command> rows,
                           const QString& bitmapFolder) {
    auto* toolbar = window.addToolBar(QStringLiteral("tbrMain"));
    toolbar->setObjectName(QStringLiteral("tbrMain"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(24, 24));
    QMenu* menu = nullptr;
    for (Command& row : rows) {
        if (!menu || menu->title() != QString::fromLatin1(row.menu))
            menu = window.menuBar()->addMenu(QString::fromLatin1(row.menu));
        if (!row.text) {
            menu->addSeparator();
            continue;
        }
        Built& built = commands_.emplace_back(Built{std::move(row)});
        const Command& command = built.row;
        built.item = menu->addAction(QString::fromUtf8(command.text));
        built.item->setShortcut(command.shortcut);
        if (command.name) built.item->setObjectName(QString::fromLatin1(command.name));
        // A screen reader names the item by its text and describes it by this.
        if (command.about) {
            built.item->setWhatsThis(QString::fromLatin1(command.about));
            built.item->setStatusTip(built.item->whatsThis());
        }
        built.item->setCheckable(static_cast<bool>(command.checked));
        if (command.bitmap) {
            if (command.toolbarGap) toolbar->addSeparator();
            const QString key = QString::fromLatin1(command.bitmap);
            built.button =
                toolbar->addAction(QIcon(QPixmap(bitmapFolder + "/" + key + ".bmp")), {});
            built.button->setObjectName(key);
            built.button->setToolTip(QString::fromLatin1(command.tooltip));
            built.button->setStatusTip(built.button->toolTip());
        }
        if (!command.handler) continue;
        for (QAction* action : {built.item, built.button}) {
            if (action) QObject::connect(action, &QAction::triggered, &window, command.handler);
        }
    }
    Refresh();
}

void CommandTable::Refresh() {
    for (const Built& built : commands_) {
        const bool enabled = !built.row.enabled || built.row.enabled();
        built.item->setEnabled(enabled);
        if (built.button) built.button->setEnabled(enabled);
        if (built.row.checked) built.item->setChecked(built.row.checked());
    }
}

} // namespace vtl
