#include "editor/live_log_pane.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace vtl {
namespace {

QPushButton* AddButton(QHBoxLayout& row, const QString& text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    row.addWidget(button);
    return button;
}

QComboBox* AddChoice(QHBoxLayout& row, const QStringList& items, const char* name,
                     const QString& accessibleName) {
    auto* choice = new QComboBox;
    choice->setObjectName(QString::fromLatin1(name));
    choice->setAccessibleName(accessibleName);
    choice->addItems(items);
    row.addWidget(choice);
    return choice;
}

} // namespace

LiveLogPane::LiveLogPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fraLiveLog"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    auto* row = new QHBoxLayout;
    column->addLayout(row);
    pause_ = AddButton(*row, QStringLiteral("&Pause"), "cmdLivePause");
    pause_->setCheckable(true);
    QPushButton* clear = AddButton(*row, QStringLiteral("C&lear"), "cmdLiveClear");
    QPushButton* save = AddButton(*row, QStringLiteral("Sa&ve Log\u2026"), "cmdLiveSave");
    manual_ = AddChoice(*row,
                        {QStringLiteral("All manuals"), QStringLiteral("Manual 1"),
                         QStringLiteral("Manual 2"), QStringLiteral("Manual 3")},
                        "cboLiveManual", QStringLiteral("Show manual"));
    kind_ =
        AddChoice(*row,
                  {QStringLiteral("All kinds"), QStringLiteral("Keys"), QStringLiteral("Pistons"),
                   QStringLiteral("Shoes"), QStringLiteral("Other messages")},
                  "cboLiveKind", QStringLiteral("Show kind"));
    demo_ = AddButton(*row, QStringLiteral("Play a &Demo Passage"), "cmdLiveDemo");
    demo_->hide();
    row->addStretch();
    text_ = new QPlainTextEdit;
    text_->setObjectName(QStringLiteral("txtLiveLog"));
    text_->setAccessibleName(QStringLiteral("Live console log"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setMaximumBlockCount(kCapacity);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    column->addWidget(text_);
    frame_ = new QTimer(this);
    frame_->setSingleShot(true);
    frame_->setInterval(kFrameMs);
    connect(frame_, &QTimer::timeout, this, &LiveLogPane::Flush);

    connect(pause_, &QPushButton::toggled, this, [this](bool paused) {
        if (paused)
            Flush();
        else
            Refill();
    });
    connect(clear, &QPushButton::clicked, this, &LiveLogPane::Clear);
    connect(save, &QPushButton::clicked, this, &LiveLogPane::Save);
    connect(manual_, &QComboBox::currentIndexChanged, this, &LiveLogPane::Refill);
    connect(kind_, &QComboBox::currentIndexChanged, this, &LiveLogPane::Refill);
    connect(demo_, &QPushButton::clicked, this, [this] {
        if (playDemo_) playDemo_();
    });
}

void LiveLogPane::Add(Entry entry) {
    if (entries_.size() == kCapacity) entries_.pop_front();
    entries_.push_back(std::move(entry));
    if (pause_->isChecked() || !Shows(entries_.back())) return;
    // Bounded too, should the frames not come while the event loop is held up.
    if (pending_.size() == kCapacity) pending_.removeFirst();
    pending_ << entries_.back().line;
    if (!frame_->isActive()) frame_->start();
}

void LiveLogPane::Flush() {
    frame_->stop();
    if (pending_.isEmpty()) return;
    text_->appendPlainText(pending_.join(QLatin1Char('\n')));
    pending_.clear();
}

void LiveLogPane::Clear() {
    entries_.clear();
    pending_.clear();
    text_->clear();
}

QStringList LiveLogPane::ShownLines() const {
    QStringList lines;
    for (const Entry& entry : entries_)
        if (Shows(entry)) lines << entry.line;
    return lines;
}

void LiveLogPane::OfferDemo(std::function<void()> play) {
    playDemo_ = std::move(play);
    demo_->show();
}

bool LiveLogPane::Shows(const Entry& entry) const {
    if (entry.kind == Kind::Note) return true;
    const int manual = manual_->currentIndex();
    const int kind = kind_->currentIndex();
    return (manual == 0 || (entry.manuals >> (manual - 1) & 1) != 0) &&
           (kind == 0 || kind - 1 == static_cast<int>(entry.kind));
}

void LiveLogPane::Refill() {
    frame_->stop();
    pending_.clear();
    text_->setPlainText(ShownLines().join(QLatin1Char('\n')));
    text_->moveCursor(QTextCursor::End);
}

void LiveLogPane::Save() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Live Console Log"),
                                                folder + QStringLiteral("/live-console.txt"),
                                                QStringLiteral("Text file (*.txt)"));
    if (path.isEmpty()) return;
    QSaveFile file(path);
    const QByteArray text = (ShownLines().join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        QMessageBox::warning(this, QStringLiteral("Save Live Console Log"),
                             QStringLiteral("The log could not be saved: ") + path);
    }
}

} // namespace vtl
