#pragma once

// The platform floor's empty window: one colour, painted wherever it is exposed and nothing
// else, so that growing it and painting it costs what the platform and Qt's backing store
// cost for that change and no more.

#include <QColor>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

namespace tessfield::bench {

class FloorWindow : public QWidget {
public:
    FloorWindow()
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setWindowTitle(QStringLiteral("platform floor"));
    }
    void setColour(const QColor &colour) { colour_ = colour; }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), colour_);
    }

private:
    QColor colour_;
};

} // namespace tessfield::bench
