#pragma once
// What a monitor or a check shows over one element of the console view: a light, for a moment
// or held, and a mark: an outline in its severity's colour with the severity's symbol at its
// corner, so that the mark does not rest on colour alone. It shows only while one is set.

#include "editor/console_element.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QTimer;

namespace vtl {

class ElementOverlay : public QWidget {
public:
    static constexpr int kLightMilliseconds = 300;

    // area: the element's visible part, in the parent's coordinates; the mark's outline around
    // it keeps inside the parent. changed: called whenever what shows changes, also when a
    // light goes out by itself.
    ElementOverlay(QWidget& parent, const QRect& area, std::function<void()> changed);

    void Light();
    void SetHeld(bool held);
    void Mark(Severity severity, const QString& note);
    void ClearMark();

    // What shows, in words: "active", "held", "warning: <note>"; none while nothing shows.
    QStringList Words() const;
    // The mark's note with its severity, for the element's tooltip; empty without a mark.
    QString MarkLine() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Update();

    // The element's, the mark's outline around it and the symbol at the outline's top right
    // corner, in the overlay's coordinates.
    QRect area_;
    QRect outline_;
    QRect symbol_;
    std::function<void()> changed_;
    QTimer* lightTimer_;
    bool held_ = false;
    std::optional<Severity> severity_;
    QString note_;
};

} // namespace vtl
