#pragma once
// Modal message boxes with an OK button. Windows show theirs through a MessageBoxFn, so a test
// can take the message instead of a box that waits for a click.

#include "link/product.h"

#include <QMessageBox>
#include <QString>

#include <functional>

namespace vtl {

struct MessageBoxText {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

using MessageBoxFn = std::function<void(QWidget* parent, const MessageBoxText& message)>;

// Shows the message and returns when the user has clicked OK.
void ShowMessageBox(QWidget* parent, const MessageBoxText& message);

} // namespace vtl
