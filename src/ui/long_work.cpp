#include "ui/long_work.h"

#include "ui/command.h"

#include <QProgressDialog>

#include <algorithm>

namespace tc::gui {

namespace {
constexpr int kSteps = 1000;
}

LongWork::LongWork(QWidget* parent, const QString& label, int showAfterMs)
    : dialog_(
          std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, kSteps, parent)) {
    dialog_->setObjectName(QStringLiteral("longWorkProgress"));
    dialog_->setWindowTitle(appTitle());
    // Application modal: while it shows, no other command can start.
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(std::max(showAfterMs, 0));
    dialog_->setValue(0); // starts the clock
}

LongWork::~LongWork() = default;

bool LongWork::update(double fraction) {
    if (dialog_->wasCanceled()) return false;
    const int value = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * kSteps);
    // At least one step, so that even the first update lets the dialog appear when it is due.
    dialog_->setValue(std::max(value, 1));
    return !dialog_->wasCanceled();
}

bool LongWork::cancelled() const {
    return dialog_->wasCanceled();
}

} // namespace tc::gui
