#include "editor/element_overlay.h"

#include <QPainter>
#include <QTimer>

#include <array>
#include <utility>

namespace vtl {
namespace {

// Pixels between the element and the outline around it.
constexpr int kMargin = 3;

struct SeverityLook {
    const char* word;
    QRgb colour;
};

constexpr std::array<SeverityLook, 3> kSeverities{{
    {"information", 0x1f6fd0},
    {"warning", 0xe08a00},
    {"error", 0xd01c1c},
}};

const SeverityLook& Look(Severity severity) {
    return kSeverities[static_cast<std::size_t>(severity)];
}

} // namespace

ElementOverlay::ElementOverlay(QWidget& parent, const QRect& area, std::function<void()> changed)
    : QWidget(&parent), changed_(std::move(changed)), lightTimer_(new QTimer(this)) {
    setGeometry(area.adjusted(-kMargin, -kMargin, kMargin, kMargin) & parent.rect());
    area_ = area.translated(-pos());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    lightTimer_->setSingleShot(true);
    lightTimer_->setInterval(kLightMilliseconds);
    connect(lightTimer_, &QTimer::timeout, this, &ElementOverlay::Update);
    hide();
}

void ElementOverlay::Light() {
    lightTimer_->start();
    Update();
}

void ElementOverlay::SetHeld(bool held) {
    held_ = held;
    Update();
}

void ElementOverlay::Mark(Severity severity, const QString& note) {
    severity_ = severity;
    note_ = note;
    Update();
}

void ElementOverlay::ClearMark() {
    severity_.reset();
    note_.clear();
    Update();
}

QStringList ElementOverlay::Words() const {
    QStringList words;
    if (lightTimer_->isActive()) words << QStringLiteral("active");
    if (held_) words << QStringLiteral("held");
    if (severity_)
        words << QString::fromLatin1(Look(*severity_).word) + QStringLiteral(": ") + note_;
    return words;
}

QString ElementOverlay::MarkLine() const {
    if (!severity_) return {};
    QString word = QString::fromLatin1(Look(*severity_).word);
    word[0] = word[0].toUpper();
    return word + QStringLiteral(": ") + note_;
}

void ElementOverlay::Update() {
    setVisible(lightTimer_->isActive() || held_ || severity_);
    raise();
    update();
    changed_();
}

void ElementOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A light is a warm glaze over the element, deeper while it is held.
    if (held_ || lightTimer_->isActive()) {
        painter.fillRect(area_, QColor(255, 190, 0, held_ ? 160 : 110));
    }
    if (!severity_) return;
    painter.setPen(QPen(QColor(Look(*severity_).colour), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
}

} // namespace vtl
