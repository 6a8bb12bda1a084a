#include "editor/element_overlay.h"

#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <array>
#include <utility>

namespace vtl {
namespace {

// Pixels between the element and the outline around it; the symbol's size.
constexpr int kMargin = 3;
constexpr int kSymbol = 16;

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
    const QRect outline = area.adjusted(-kMargin, -kMargin, kMargin, kMargin) & parent.rect();
    // Centred on the outline's corner, but inside the parent where the corner is at its edge.
    QRect symbol(0, 0, kSymbol, kSymbol);
    symbol.moveCenter(outline.topRight());
    symbol.moveTo(std::min(symbol.left(), parent.width() - kSymbol), std::max(symbol.top(), 0));
    setGeometry(outline | symbol);
    area_ = area.translated(-pos());
    outline_ = outline.translated(-pos());
    symbol_ = symbol.translated(-pos());
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
    const QColor colour(Look(*severity_).colour);
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(outline_).adjusted(1, 1, -1, -1), 3, 3);
    // The symbol's shape says the severity as well: a circle with "i", a triangle with "!",
    // a square with a cross; drawn in strokes, the same in every font.
    const QRectF box = QRectF(symbol_).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPointF centre = box.center();
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(colour);
    QPen mark(Qt::white, 2, Qt::SolidLine, Qt::FlatCap);
    switch (*severity_) {
    case Severity::Info:
        painter.drawEllipse(box);
        painter.setPen(mark);
        painter.drawLine(QPointF(centre.x(), box.top() + 3), QPointF(centre.x(), box.top() + 5));
        painter.drawLine(QPointF(centre.x(), centre.y() - 1),
                         QPointF(centre.x(), box.bottom() - 3));
        break;
    case Severity::Warning:
        painter.drawPolygon(
            QPolygonF{{centre.x(), box.top()}, box.bottomRight(), box.bottomLeft()});
        painter.setPen(mark);
        painter.drawLine(QPointF(centre.x(), box.top() + 5), QPointF(centre.x(), box.bottom() - 5));
        painter.drawLine(QPointF(centre.x(), box.bottom() - 3.5),
                         QPointF(centre.x(), box.bottom() - 1.5));
        break;
    case Severity::Error:
        painter.drawRect(box);
        painter.setPen(mark);
        painter.drawLine(box.topLeft() + QPointF(4, 4), box.bottomRight() - QPointF(4, 4));
        painter.drawLine(box.topRight() + QPointF(-4, 4), box.bottomLeft() + QPointF(4, -4));
        break;
    }
}

} // namespace vtl
