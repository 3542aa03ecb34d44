#include "export/export_options_form.h"

#include "common/text_number.h"
#include "ui/command.h"
#include "ui/qt_number.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

template <class W> W* place(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* widget = new W(parent);
    if (name) widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& title, int x, int y, int w,
                 int h) {
    auto* g = place<QGroupBox>(parent, name, x, y, w, h);
    g->setTitle(title);
    return g;
}

QLabel* caption(QWidget* parent, const QString& text, int x, int y, int w = 100) {
    auto* l = place<QLabel>(parent, nullptr, x, y + 3, w, 14);
    l->setText(text);
    return l;
}

QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w = 90) {
    return place<QLineEdit>(parent, name, x, y, w, 21);
}

QComboBox* list(QWidget* parent, const char* name, int x, int y, bool editable,
                const QStringList& items, int w = 90) {
    auto* c = place<QComboBox>(parent, name, x, y, w, 21);
    c->setEditable(editable);
    c->addItems(items);
    return c;
}

QCheckBox* check(QWidget* parent, const char* name, const QString& text, int x, int y,
                 int w = 180) {
    auto* c = place<QCheckBox>(parent, name, x, y, w, 17);
    c->setText(text);
    return c;
}

int toInt(const QString& text) {
    return tc::textToInt(text.toStdString());
}
QString num(int v) {
    return QString::number(v);
}

} // namespace

TExportOptionForm::TExportOptionForm(tc::ExcelExportOptions& options, QWidget* owner)
    : QDialog(owner), options_(options) {
    setObjectName(QStringLiteral("ExportOptionForm"));
    setWindowTitle(QStringLiteral("Export Options"));
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(458, 487);

    QGroupBox* serie = group(this, "grpSerie", QStringLiteral("Serie"), 8, 6, 214, 200);
    caption(serie, QStringLiteral("Line Weight"), 10, 20);
    cbb1 = list(serie, "cbb1", 112, 20, true, {"0", "0.25", "0.5", "0.75", "1", "1.25", "1.5"});
    caption(serie, QStringLiteral("Line Color"), 10, 47);
    cbb4 = list(serie, "cbb4", 112, 47, false, {"Auto", "Same as Plot Panel"});
    chk1 = check(serie, "chk1", QStringLiteral("Show Maker"), 10, 77);
    caption(serie, QStringLiteral("Maker Style"), 10, 100);
    cbb2 = list(serie, "cbb2", 112, 100, false, {"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    caption(serie, QStringLiteral("Maker Size"), 10, 127);
    cbb3 = list(serie, "cbb3", 112, 127, true, {"2", "3", "4", "5", "6", "7", "8", "9", "10"});
    caption(serie, QStringLiteral("Maker Color"), 10, 154);
    cbb5 = list(serie, "cbb5", 112, 154, false, {"Auto", "Same as Plot Panel"});

    QGroupBox* axis = group(this, "grpAxis", QStringLiteral("Axis"), 8, 212, 214, 232);
    chk2 = check(axis, "chk2", QStringLiteral("Show Axis Title"), 10, 20);
    caption(axis, QStringLiteral("X Axis Title"), 10, 42);
    edt1 = edit(axis, "edt1", 112, 42);
    caption(axis, QStringLiteral("Y Axis Title"), 10, 68);
    edt2 = edit(axis, "edt2", 112, 68);
    caption(axis, QStringLiteral("Font Size"), 10, 94);
    edt9 = edit(axis, "edt9", 112, 94);
    chk6 = check(axis, "chk6", QStringLiteral("Show Axis Line"), 10, 124);
    caption(axis, QStringLiteral("X Axis Position"), 10, 146);
    edt6 = edit(axis, "edt6", 112, 146);
    caption(axis, QStringLiteral("Y Axis Position"), 10, 172);
    edt7 = edit(axis, "edt7", 112, 172);
    caption(axis, QStringLiteral("Ticklabel Font Size"), 10, 198);
    edt8 = edit(axis, "edt8", 112, 198);

    QGroupBox* legend = group(this, "grpLegend", QStringLiteral("Lengend"), 230, 6, 220, 96);
    chk3 = check(legend, "chk3", QStringLiteral("Show Lengend"), 10, 20);
    chk4 = check(legend, "chk4", QStringLiteral("IncludeInLayout"), 10, 42);
    caption(legend, QStringLiteral("Font Size"), 10, 66);
    edt10 = edit(legend, "edt10", 112, 66, 96);

    QGroupBox* title = group(this, "grpTitle", QStringLiteral("Title"), 230, 108, 220, 100);
    chk5 = check(title, "chk5", QStringLiteral("Show Graph Title"), 10, 20);
    caption(title, QStringLiteral("Title"), 10, 43);
    edt5 = edit(title, "edt5", 112, 43, 96);
    caption(title, QStringLiteral("Font Size"), 10, 70);
    edt11 = edit(title, "edt11", 112, 70, 96);
    edt11->setText(QStringLiteral("10")); // not an option: no title font size reaches the workbook

    QGroupBox* plot = group(this, "grpPlotArea", QStringLiteral("Plot Area"), 230, 214, 220, 100);
    caption(plot, QStringLiteral("Height"), 10, 20);
    edt3 = edit(plot, "edt3", 112, 20, 96);
    caption(plot, QStringLiteral("Width"), 10, 46);
    edt4 = edit(plot, "edt4", 112, 46, 96);
    chk7 = check(plot, "chk7", QStringLiteral("Show Plot Area Line"), 10, 74);

    QGroupBox* mode =
        group(this, "grpExportMode", QStringLiteral("Export Mode"), 230, 320, 220, 70);
    rb1 = place<QRadioButton>(mode, "rb1", 10, 20, 180, 17);
    rb1->setText(QStringLiteral("Single Output"));
    rb1->setChecked(true);
    rb2 = place<QRadioButton>(mode, "rb2", 10, 43, 180, 17);
    rb2->setText(QStringLiteral("Combined Output"));

    btn1 = place<QPushButton>(this, "btn1", 290, 452, 75, 25);
    btn1->setText(QStringLiteral("Update"));
    btn2 = place<QPushButton>(this, "btn2", 373, 452, 75, 25);
    btn2->setText(QStringLiteral("Cancel"));
    connect(btn1, &QPushButton::clicked, this,
            [this] { tc::gui::runCommand(this, [this] { btn1Click(); }); });
    connect(btn2, &QPushButton::clicked, this, [this] { btn2Click(); });
}

void TExportOptionForm::fill() {
    const tc::ExcelExportOptions& o = options_;
    edt3->setText(num(o.chartHeight));
    edt4->setText(num(o.chartWidth));
    chk3->setChecked(o.showLegend);
    chk4->setChecked(o.legendInLayout);
    cbb1->setEditText(tc::gui::numberText(o.lineWeight, tc::gui::userDecimalSeparator()));
    chk1->setChecked(o.showMarker);
    cbb3->setEditText(num(o.markerSize));
    cbb2->setCurrentIndex(
        cbb2->findText(num(o.markerStyle))); // a fixed list: the item of that text
    chk5->setChecked(o.showTitle);
    edt5->setText(QString::fromStdString(o.titleText));
    edt8->setText(num(o.tickLabelFontSize));
    edt9->setText(num(o.axisTitleFontSize));
    edt10->setText(num(o.legendFontSize));
    (o.combinedOutput != 0 ? rb2 : rb1)->setChecked(true);
    chk6->setChecked(o.showAxisLine);
    edt6->setText(QString::fromStdString(o.xAxisPosition));
    edt7->setText(QString::fromStdString(o.yAxisPosition));
    chk2->setChecked(o.showAxisTitle);
    edt1->setText(QString::fromStdString(o.xAxisTitle));
    edt2->setText(QString::fromStdString(o.yAxisTitle));
    chk7->setChecked(o.showPlotAreaLine);
    cbb4->setCurrentIndex(o.lineColorMode);
    cbb5->setCurrentIndex(o.markerColorMode);
}

void TExportOptionForm::btn1Click() {
    tc::ExcelExportOptions& o = options_;
    o.chartWidth = toInt(edt4->text());
    o.chartHeight = toInt(edt3->text());
    o.showLegend = chk3->isChecked();
    o.legendInLayout = chk4->isChecked();
    o.lineWeight = static_cast<float>(
        tc::textToDouble(cbb1->currentText().toStdString(), tc::gui::userDecimalSeparator()));
    o.markerSize = toInt(cbb3->currentText());
    o.showMarker = chk1->isChecked();
    o.markerStyle = toInt(cbb2->currentText());
    o.tickLabelFontSize = toInt(edt8->text());
    o.axisTitleFontSize = toInt(edt9->text());
    o.legendFontSize = toInt(edt10->text());
    o.showTitle = chk5->isChecked();
    o.titleText = std::string(tc::trimBlanks(edt5->text().toStdString()));
    o.showAxisLine = chk6->isChecked();
    o.xAxisPosition = edt6->text().toStdString(); // as typed: the export converts it
    o.yAxisPosition = edt7->text().toStdString();
    o.showAxisTitle = chk2->isChecked();
    o.xAxisTitle = edt1->text().toStdString();
    o.yAxisTitle = edt2->text().toStdString();
    o.showPlotAreaLine = chk7->isChecked();
    o.lineColorMode = cbb4->currentIndex();
    o.markerColorMode = cbb5->currentIndex();
    o.combinedOutput = rb1->isChecked() ? 0 : 1;
}

void TExportOptionForm::btn2Click() {
    reject();
}

void ShowExcelExportOptions(tc::ExcelExportOptions& options, QWidget* owner) {
    TExportOptionForm form(options, owner);
    form.fill();
    form.exec();
}
