#include "shell/user_messages.h"

#include "link/product.h"
#include "shell/app_log.h"

#include <QMessageBox>

#include <iostream>
#include <utility>

namespace vtl {

UserMessages::UserMessages(const AppState& state, bool toStandardError)
    : state_(state), toStandardError_(toStandardError) {}

void UserMessages::Show(const std::string& text) {
    if (toStandardError_) {
        std::cerr << "vtlconfig: " << text << '\n';
        troubled_ = true;
        return;
    }
    QMessageBox::information(window_, kWindowTitle, QString::fromStdString(text));
}

void UserMessages::Hold(std::string text) {
    held_.push_back(std::move(text));
}

void UserMessages::ShowHeld() {
    for (const std::string& message : std::exchange(held_, {}))
        Show(message);
}

void UserMessages::Log(const std::string& line) const {
    WriteLog(state_, QString::fromStdString(line));
}

} // namespace vtl
