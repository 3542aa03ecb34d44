#include "app/link_label.h"

#include "app/web_links.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(const QString& text, const QUrl& url, QWidget* parent, bool hoverStyle)
    : QLabel(text, parent), url_(url), hoverStyle_(hoverStyle) {
    setCursor(Qt::PointingHandCursor);
    setToolTip(url.toString());
    if (hoverStyle_) setHot(false);
}

void LinkLabel::setHot(bool hot) {
    hot_ = hot;
    QFont f = font();
    f.setBold(true);
    f.setUnderline(hot);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, hot ? hotColor() : normalColor());
    setPalette(p);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    if (hoverStyle_) setHot(true);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    if (hoverStyle_) setHot(false);
    QLabel::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

// A click is a left press and release on the label; moving off before releasing cancels it.
void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (!click) return;
    tc::gui::openWebPage(url_);
    emit clicked();
}
