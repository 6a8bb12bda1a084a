#include "shell/message_box.h"

namespace vtl {

void ShowMessageBox(QWidget* parent, const MessageBoxText& message) {
    QMessageBox box(message.icon, message.caption, message.text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace vtl
