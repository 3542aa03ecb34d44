#pragma once
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace tc::gui {

// Progress with Cancel for work that may take long: a modal progress dialog that appears only
// once the work has run for showAfterMs (and is not about to finish), then lets the window repaint
// and the user press Cancel at every update. Before it appears, updates do no event handling.
class LongWork {
public:
    LongWork(QWidget* parent, const QString& label, int showAfterMs = 500);
    ~LongWork();
    LongWork(const LongWork&) = delete;
    LongWork& operator=(const LongWork&) = delete;

    // Reports the share done, 0 to 1; returns false once the user has pressed Cancel.
    bool update(double fraction);
    bool cancelled() const;

private:
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace tc::gui
