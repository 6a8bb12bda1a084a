#pragma once
// A shoe's position at a glance: a bar filled from the left, 0 to 127.

#include <QWidget>

namespace vtl {

class LevelBar : public QWidget {
public:
    static constexpr int kHighest = 127;

    LevelBar(QWidget& parent, const QRect& geometry);

    void SetLevel(int level);
    int Level() const { return level_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int level_ = 0;
};

} // namespace vtl
