#include "shell/frm_status.h"

#include "editor/window_geometry.h"
#include "link/transfer_progress.h"
#include "session/transfer_text.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace vtl {
namespace {

constexpr QSize kWindowSize{307, 115};
constexpr QRect kCloseRect = TwipsRect(1440, 1200, 1695, 375);
// Between the text and Close while a transfer shows its progress.
constexpr int kProgressHeight = 30;
constexpr QRect kBarRect{9, 71, 289, 14};
constexpr QRect kProgressLineRect{9, 87, 289, 14};

} // namespace

ProgressWindow::ProgressWindow(std::function<void()> closeInput, QWidget* parent)
    : QWidget(parent, Qt::Tool), closeInput_(std::move(closeInput)),
      txtStatus_(new QPlainTextEdit(this)), prgTransfer_(new QProgressBar(this)),
      lblProgress_(new QLabel(this)), cmdClose_(new QPushButton(QStringLiteral("Close"), this)) {
    setObjectName(QStringLiteral("frmStatus"));
    setFixedSize(kWindowSize);

    txtStatus_->setObjectName(QStringLiteral("txtStatus"));
    txtStatus_->setGeometry(TwipsRect(135, 150, 4335, 855));
    txtStatus_->setReadOnly(true);
    // The user cannot place a caret in the text: a click there focuses Close instead.
    txtStatus_->setFocusPolicy(Qt::NoFocus);
    txtStatus_->viewport()->installEventFilter(this);
    connect(txtStatus_, &QPlainTextEdit::textChanged, this, &ProgressWindow::ShowEnd);

    prgTransfer_->setObjectName(QStringLiteral("prgTransfer"));
    prgTransfer_->setAccessibleName(QStringLiteral("Transfer progress"));
    prgTransfer_->setGeometry(kBarRect);
    prgTransfer_->hide();
    lblProgress_->setObjectName(QStringLiteral("lblProgress"));
    lblProgress_->setGeometry(kProgressLineRect);
    lblProgress_->hide();

    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setGeometry(kCloseRect);
    connect(cmdClose_, &QPushButton::clicked, this, [this] {
        if (closeInput_) closeInput_();
        Unload();
    });
}

void ProgressWindow::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void ProgressWindow::SetText(const std::string& text) {
    txtStatus_->setPlainText(QString::fromStdString(text));
}

void ProgressWindow::Append(const std::string& text) {
    txtStatus_->moveCursor(QTextCursor::End);
    txtStatus_->insertPlainText(QString::fromStdString(text));
}

void ProgressWindow::Centre() {
    if (centreOn_) move(CentredPosition(centreOn_->frameGeometry(), frameGeometry().size()));
}

void ProgressWindow::Unload() {
    hide();
    txtStatus_->clear();
}

void ProgressWindow::SetProgress(const TransferProgress& progress) {
    const bool shown = progress.Active();
    if (prgTransfer_->isHidden() == shown) {
        prgTransfer_->setVisible(shown);
        lblProgress_->setVisible(shown);
        const int extra = shown ? kProgressHeight : 0;
        cmdClose_->setGeometry(kCloseRect.translated(0, extra));
        setFixedSize(kWindowSize + QSize(0, extra));
    }
    if (!shown) return;
    // Before a read has counted its manuals the bar stands at 0 of a total still unknown.
    prgTransfer_->setRange(0, std::max(progress.total, 1));
    prgTransfer_->setValue(progress.done);
    const QString line = QString::fromStdString(ProgressSummary(progress));
    lblProgress_->setText(line);
    prgTransfer_->setAccessibleDescription(line);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    txtStatus_->clear();
    event->accept();
    if (dismissed_) dismissed_();
}

void ProgressWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ShowEnd();
}

bool ProgressWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtStatus_->viewport() && (event->type() == QEvent::MouseButtonPress ||
                                              event->type() == QEvent::MouseButtonDblClick)) {
        cmdClose_->setFocus(Qt::MouseFocusReason);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ProgressWindow::ShowEnd() {
    txtStatus_->moveCursor(QTextCursor::End);
    txtStatus_->ensureCursorVisible();
}

} // namespace vtl
