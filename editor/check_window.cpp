#include "editor/check_window.h"

#include "editor/check_marks.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace vtl {

CheckWindow::CheckWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool), list_(new QListWidget(this)) {
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("Console check"));
    resize(460, 280);
    list_->setObjectName(QStringLiteral("lstFindings"));
    list_->setAccessibleName(QStringLiteral("Findings"));
    list_->setWordWrap(true);
    list_->setSpacing(2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list_);
    connect(list_, &QListWidget::itemActivated, this, [this](const QListWidgetItem* item) {
        const auto row = static_cast<std::size_t>(list_->row(item));
        if (row < firstElements_.size()) emit ElementChosen(firstElements_[row]);
    });
}

void CheckWindow::ShowFindings(const std::vector<Finding>& findings) {
    list_->clear();
    firstElements_.clear();
    for (const Finding& finding : findings) {
        QString severity = QString::fromLatin1(SeverityName(finding.severity));
        severity[0] = severity[0].toUpper();
        list_->addItem(severity + QStringLiteral(": ") + QString::fromStdString(finding.text));
        firstElements_.push_back(ViewElement(finding.elements.front()));
    }
    if (findings.empty()) {
        auto* nothing = new QListWidgetItem(QStringLiteral("The check finds nothing."), list_);
        nothing->setFlags(Qt::NoItemFlags);
    } else {
        list_->setCurrentRow(0);
    }
}

void CheckWindow::Bring() {
    if (!placed_ && parentWidget()) {
        // Right of the main window where the screen has room, else over its right edge.
        const QRect main = parentWidget()->frameGeometry();
        const QScreen* screen = parentWidget()->screen();
        const QRect area = screen ? screen->availableGeometry() : main;
        move(std::max(area.left(), std::min(main.right() + 8, area.right() - width())),
             std::max(area.top(), main.top()));
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
    list_->setFocus();
}

} // namespace vtl
