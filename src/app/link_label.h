#pragma once
#include <QLabel>
#include <QUrl>

// A label that opens a web address when clicked. With hover styling on, its text turns blue
// (#0000FF), bold and underlined while the mouse is over it, and black and bold when the mouse
// leaves; with it off the text keeps its look and only the pointing-hand cursor shows the link.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, const QUrl& url, QWidget* parent = nullptr,
              bool hoverStyle = true);

    QUrl url() const { return url_; }
    void setUrl(const QUrl& url) { url_ = url; }
    bool isHot() const { return hot_; }

    static QColor hotColor() { return QColor(0x00, 0x00, 0xFF); }
    static QColor normalColor() { return QColor(0x00, 0x00, 0x00); }

signals:
    // After the address has been handed to the browser.
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setHot(bool hot);

    QUrl url_;
    bool hoverStyle_;
    bool hot_ = false;
    bool pressed_ = false;
};
