#include "app/tform1.h"

#include "app/link_label.h"
#include "app/web_links.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"
#include "chart/cursor_tool.h"
#include "chart/drag_point_tool.h"
#include "results/results_form.h"
#include "ui/command.h"
#include "ui/file_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>

namespace {

// The client area at 96 dpi; the status bar takes the bottom 27 pixels of it.
constexpr int kClientWidth = 915;
constexpr int kClientHeight = 709;
constexpr int kStatusHeight = 27;

template <class W>
W* make(QWidget* parent, const char* name, int x, int y, int w, int h, const QString& text = {}) {
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, w, h);
    if constexpr (std::is_base_of_v<QLineEdit, W> || std::is_base_of_v<QLabel, W> ||
                  std::is_base_of_v<QAbstractButton, W>) {
        if (!text.isNull()) widget->setText(text);
    } else if constexpr (std::is_base_of_v<QGroupBox, W>) {
        widget->setTitle(text);
    }
    return widget;
}

QLabel* label(QWidget* parent, const char* name, int x, int y, const QString& text, int w = 110) {
    return make<QLabel>(parent, name, x, y, w, 14, text);
}

QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w, const QString& text = {},
                bool readOnly = false) {
    auto* e = make<QLineEdit>(parent, name, x, y, w, 21, text);
    e->setReadOnly(readOnly);
    return e;
}

QComboBox* dropDown(QWidget* parent, const char* name, int x, int y, int w,
                    const QStringList& items = {}) {
    auto* c = make<QComboBox>(parent, name, x, y, w, 21);
    c->addItems(items);
    return c;
}

} // namespace

namespace {

// The window is laid out for Tahoma 8 pt. Where the system has no Tahoma, the metric-compatible
// face that Debian ships with its Windows API fonts is used when present. Only its regular face:
// the bold one of that set draws hardly heavier than the regular, so bold text is emboldened from
// the regular face instead.
void ensureTahoma() {
    static bool done = false;
    if (done) return;
    done = true;
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma"))) return;
    const QString regular = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (QFile::exists(regular)) QFontDatabase::addApplicationFont(regular);
}

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    undoStack = new QUndoStack(this);
    ensureTahoma();
    tc::InitExcelExportOptions(excelOptions);
    setWindowTitle(tc::gui::mainWindowCaption());
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11); // 8 point at 96 dpi
    setFont(font);

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    buildLayout();
    buildMenu();
    buildStatusBar();
    buildChart();
    buildDialogs();
    wireCommands();
    setAcceptDrops(true); // a record dropped on the window is imported
    buildReadouts();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    layoutAnchoredControls();
    // Last of the construction: no cross-hair until a point is to be added.
    crsrtlChartTool1->setActive(false);
}

TForm1::~TForm1() {
    if (recoveryWriter_.joinable()) recoveryWriter_.join();
    // The results window first, while the chart its marks are drawn on is still there.
    delete resultsForm;
}

char TForm1::decimalSeparator() const {
    return tc::gui::userDecimalSeparator();
}

void TForm1::buildLayout() {
    QWidget* c = client_;
    grp3 = make<QGroupBox>(c, "grp3", 6, 4, 245, 105, QStringLiteral("Import Parameters"));
    lbl7 = label(grp3, "lbl7", 14, 22, QStringLiteral("F-D Curve Begin Line"));
    edt7 = edit(grp3, "edt7", 122, 19, 113, QStringLiteral("1"));
    lbl8 = label(grp3, "lbl8", 14, 46, QStringLiteral("Data Import Step"));
    edt8 = edit(grp3, "edt8", 122, 45, 113, QStringLiteral("1"));
    lbl11 = label(grp3, "lbl11", 14, 75, QStringLiteral("Loop Direction"));
    cbb4 = dropDown(grp3, "cbb4", 122, 72, 113,
                    {QStringLiteral("Positive"), QStringLiteral("Negative")});

    btn1 = make<QPushButton>(c, "btn1", 6, 114, 115, 25, QStringLiteral("Import Loop"));
    btn2 = make<QPushButton>(c, "btn2", 127, 114, 124, 25, QStringLiteral("Analyze Loop"));

    grp1 = make<QGroupBox>(c, "grp1", 6, 145, 245, 194, QStringLiteral("Loop Curve"));
    lbl6 = label(grp1, "lbl6", 10, 25, QStringLiteral("Loop Count"), 90);
    edt6 = edit(grp1, "edt6", 103, 22, 129, {}, true);
    lbl1 = label(grp1, "lbl1", 10, 52, QStringLiteral("Loop No."), 90);
    cbb1 = dropDown(grp1, "cbb1", 105, 49, 129);
    lbl2 = label(grp1, "lbl2", 10, 79, QStringLiteral("Max Disp 1"), 90);
    edt1 = edit(grp1, "edt1", 103, 76, 129, {}, true);
    lbl3 = label(grp1, "lbl3", 10, 106, QStringLiteral("Max Disp 2"), 90);
    edt2 = edit(grp1, "edt2", 103, 103, 129, {}, true);
    lbl4 = label(grp1, "lbl4", 10, 136, QStringLiteral("Max Disp Force 1"), 90);
    edt3 = edit(grp1, "edt3", 103, 134, 129, {}, true);
    lbl5 = label(grp1, "lbl5", 10, 163, QStringLiteral("Max Disp Force 2"), 90);
    edt4 = edit(grp1, "edt4", 103, 161, 129, {}, true);

    grp2 = make<QGroupBox>(c, "grp2", 6, 345, 245, 264, QStringLiteral("Tarvel Curve"));
    rb1 = make<QRadioButton>(grp2, "rb1", 8, 21, 113, 17, QStringLiteral("每一圈力最大点     "));
    rb2 = make<QRadioButton>(grp2, "rb2", 120, 21, 121, 17,
                             QStringLiteral("每一圈位移最大点       "));
    rb3 = make<QRadioButton>(grp2, "rb3", 8, 47, 185, 17,
                             QStringLiteral("每一圈力最大点+位移最大点       "));
    rb4 = make<QRadioButton>(grp2, "rb4", 8, 73, 185, 17,
                             QStringLiteral("每一圈包络点(力最大点为分界)  "));
    rb5 = make<QRadioButton>(grp2, "rb5", 8, 98, 199, 17,
                             QStringLiteral("每一圈包络点(位移最大点为分界)  "));
    rb1->setChecked(true);
    chk1 = make<QCheckBox>(grp2, "chk1", 8, 122, 150, 17, QStringLiteral("控制位移递增"));
    btn5 = make<QPushButton>(grp2, "btn5", 3, 145, 224, 25, QStringLiteral("提取骨架曲线"));
    lbl9 = label(grp2, "lbl9", 8, 179, QStringLiteral("指定调整的位移范围"), 115);
    edt9 = edit(grp2, "edt9", 125, 176, 53, QStringLiteral("0"));
    edt10 = edit(grp2, "edt10", 180, 176, 52, QStringLiteral("0"));
    lbl10 = label(grp2, "lbl10", 8, 206, QStringLiteral("指定调整的位移容差"), 115);
    edt11 = edit(grp2, "edt11", 125, 203, 107);
    btn6 = make<QPushButton>(grp2, "btn6", 10, 230, 222, 25,
                             QStringLiteral("删除指定区域容差范围的点"));

    btn7 = make<QPushButton>(c, "btn7", 6, 614, 118, 25, QStringLiteral("保存结果"));
    btn8 = make<QPushButton>(c, "btn8", 133, 614, 118, 25, QStringLiteral("输出EXCEL"));
    btn3 = make<QPushButton>(c, "btn3", 6, 645, 118, 25, QStringLiteral("About"));
    btn4 = make<QPushButton>(c, "btn4", 133, 645, 118, 25, QStringLiteral("Donation (捐助)"));

    edt5 = edit(c, "edt5", 259, 8, 649, {}, true);
    lbl12 = label(c, "lbl12", 259, 38, QStringLiteral("操作类型"), 52);
    cbb3 = dropDown(c, "cbb3", 313, 35, 152,
                    {QStringLiteral("None"), QStringLiteral("拖动节点"), QStringLiteral("增加节点"),
                     QStringLiteral("删除节点")});
    lbl13 = label(c, "lbl13", 478, 38, QStringLiteral("操作对象"), 52);
    cbb2 = dropDown(c, "cbb2", 532, 35, 181,
                    {QStringLiteral("None"), QStringLiteral("Tarvel Postive"),
                     QStringLiteral("Tarvel Negative"), QStringLiteral("LOOP")});

    cht1 = new ChartView(c);
    cht1->setGeometry(259, 63, 649, 612);
}

void TForm1::buildMenu() {
    mm1 = menuBar();
    mm1->setObjectName(QStringLiteral("mm1"));
    auto action = [this](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    QMenu* file = mm1->addMenu(QStringLiteral("File"));
    ImportData1 = action(file, "ImportData1", QStringLiteral("Import Loop"));
    ImportData1->setShortcut(QKeySequence::Open);
    ImportWithPreview1 =
        action(file, "ImportWithPreview1", QStringLiteral("Import with Preview..."));
    ImportWithPreview1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    RecentRecords1 = file->addMenu(QStringLiteral("Recent Records"));
    RecentRecords1->setObjectName(QStringLiteral("RecentRecords1"));
    RecentRecords1->setEnabled(false);
    file->addSeparator()->setObjectName(QStringLiteral("N2"));
    ExportModifiedLoop1 =
        action(file, "ExportModifiedLoop1", QStringLiteral("Export Modified Loop"));
    ExportResults1 = action(file, "ExportResults1", QStringLiteral("Export Analysis Results"));
    ExportResults1->setShortcut(QKeySequence::Save);
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    ExportDraw12Excel1 = action(file, "ExportDraw12Excel1", QStringLiteral("Export Draw1 2 Excel"));
    file->addSeparator()->setObjectName(QStringLiteral("N3"));
    SaveChartImage1 = action(file, "SaveChartImage1", QStringLiteral("Save Chart Image..."));
    file->addSeparator()->setObjectName(QStringLiteral("N4"));
    OpenSession1 = action(file, "OpenSession1", QStringLiteral("Open Session..."));
    SaveSession1 = action(file, "SaveSession1", QStringLiteral("Save Session"));
    SaveSession1->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    SaveSessionAs1 = action(file, "SaveSessionAs1", QStringLiteral("Save Session As..."));
    // Undo and redo of every change of the workspace: "Undo <what>", "Redo <what>".
    QMenu* edit = mm1->addMenu(QStringLiteral("Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    Undo1 = undoStack->createUndoAction(edit, QStringLiteral("Undo"));
    Undo1->setObjectName(QStringLiteral("Undo1"));
    Undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = undoStack->createRedoAction(edit, QStringLiteral("Redo"));
    Redo1->setObjectName(QStringLiteral("Redo1"));
    Redo1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addAction(Undo1);
    edit->addAction(Redo1);
    QMenu* options = mm1->addMenu(QStringLiteral("Options"));
    ExcelExportOptions1 =
        action(options, "ExcelExportOptions1", QStringLiteral("Excel Export Options"));
    AnalysisOptions1 = action(options, "AnalysisOptions1", QStringLiteral("Analysis Options..."));
    QMenu* results = mm1->addMenu(QStringLiteral("Results"));
    results->setObjectName(QStringLiteral("Results1"));
    EngineeringResults1 =
        action(results, "EngineeringResults1", QStringLiteral("Engineering Results..."));
    EngineeringResults1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    ExportEngineeringResults1 = action(results, "ExportEngineeringResults1",
                                       QStringLiteral("Export Engineering Results..."));
    ExportReport1 = action(results, "ExportReport1", QStringLiteral("Export Report..."));
    QMenu* about = mm1->addMenu(QStringLiteral("About"));
    HLAP1 = action(about, "HLAP1", QStringLiteral("About"));
    mniDonation1 = action(about, "mniDonation1", QStringLiteral("Donation(捐助)"));
    Howtouse1 = action(about, "Howtouse1", QStringLiteral("How to use?"));
    Howtouse1->setShortcut(QKeySequence::HelpContents);
    mniWebsite1 = action(about, "mniWebsite1", QStringLiteral("访问 ") + tc::gui::webSiteHost());
}

void TForm1::buildStatusBar() {
    rzstsbr1 = statusBar();
    rzstsbr1->setObjectName(QStringLiteral("rzstsbr1"));
    rzstsbr1->setFixedHeight(kStatusHeight);
    rzstsbr1->setSizeGripEnabled(true);
    auto field = [this](const char* name, int width, const QString& text, QLabel* l = nullptr) {
        if (!l) l = new QLabel(text, rzstsbr1);
        l->setObjectName(QLatin1String(name));
        l->setFixedWidth(width);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        rzstsbr1->addWidget(l);
        return l;
    };
    rzfldsts3 = field("rzfldsts3", 89, tc::gui::appTitle());
    rzfldsts1 = field("rzfldsts1", 155, QStringLiteral("  Welcome to my Website :"));
    // The site's host name, a link: a click opens the web site.
    rzfldsts2 = field("rzfldsts2", 108, {},
                      new LinkLabel(tc::gui::webSiteHost(), tc::gui::webSiteUrl(), rzstsbr1));
    // The active dead band (hidden while there is none) and the results' warnings.
    rzfldsts4 = new QLabel(rzstsbr1);
    rzfldsts4->setObjectName(QStringLiteral("rzfldsts4"));
    rzfldsts4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    rzfldsts4->setToolTip(QStringLiteral("The dead band of Options \u2192 Analysis Options: "
                                         "every Analyze Loop uses it."));
    rzfldsts4->setVisible(false);
    rzstsbr1->addWidget(rzfldsts4);
    rzfldsts5 = new QLabel(rzstsbr1);
    rzfldsts5->setObjectName(QStringLiteral("rzfldsts5"));
    rzfldsts5->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    rzfldsts5->setStyleSheet(QStringLiteral("color: #B00000;"));
    rzfldsts5->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    rzstsbr1->addWidget(rzfldsts5, 1);
}

void TForm1::buildChart() {
    using K = ChartSeries::Kind;
    using P = ChartSeries::PointerStyle;
    // Part of the window layout: the two marker series (first in the series list, drawn above
    // the curves, X ascending) and the two tools.
    pntsrsSeries1 = cht1->addSeries(K::Point);
    pntsrsSeries1->setTitle(QStringLiteral("Point1"));
    pntsrsSeries1->setPointerStyle(P::Circle);
    pntsrsSeries2 = cht1->addSeries(K::Point);
    pntsrsSeries2->setTitle(QStringLiteral("Point2"));
    pntsrsSeries2->setPointerStyle(P::Diamond);
    for (ChartSeries* s : {pntsrsSeries1, pntsrsSeries2})
        s->setAscendingX(true);
    drgpntlChartTool1 = new DragPointTool(cht1);
    drgpntlChartTool1->setObjectName(QStringLiteral("drgpntlChartTool1"));
    drgpntlChartTool1->setStyle(DragPointTool::Style::Both);
    crsrtlChartTool1 = new CursorTool(cht1);
    crsrtlChartTool1->setObjectName(QStringLiteral("crsrtlChartTool1"));
    crsrtlChartTool1->setFollowMouse(true);

    // The legend writes each title in its series' colour.
    rawSeries = cht1->addSeries(K::Line);
    rawSeries->setTitle(QStringLiteral("Loop"));
    rawSeries->setSeriesColor(QColor(0x00, 0x00, 0x00));
    rawSeries->setLineWidth(1);
    rawSeries->setPointerStyle(P::Circle);
    rawSeries->setPointerSize(3); // markers stay hidden until the curve is edited

    drgpntlChartTool1->setSeries(nullptr);

    loopSeries = cht1->addSeries(K::Line);
    loopSeries->setTitle(QStringLiteral("Loop_"));
    loopSeries->setSeriesColor(QColor(0xFF, 0x00, 0xFF));
    loopSeries->setLineWidth(2);

    skeletonPosSeries = cht1->addSeries(K::Line);
    skeletonPosSeries->setTitle(QStringLiteral("Tarvel_Positive"));
    skeletonPosSeries->setSeriesColor(QColor(0xFF, 0x00, 0x00));
    skeletonNegSeries = cht1->addSeries(K::Line);
    skeletonNegSeries->setTitle(QStringLiteral("Tarvel_Negative"));
    skeletonNegSeries->setSeriesColor(QColor(0x00, 0x00, 0xFF));
    for (ChartSeries* s : {skeletonPosSeries, skeletonNegSeries}) {
        s->setPointerStyle(P::Circle);
        s->setPointerSize(4);
        s->setPointerVisible(true);
        s->setLineWidth(2);
    }

    for (ChartSeries* s : {pntsrsSeries1, pntsrsSeries2}) {
        s->setPointerSize(5);
        s->setLegendVisible(false);
        s->setSeriesColor(QColor(0xFF, 0xFF, 0x00));
        s->setColorEachPoint(true);
    }
}

void TForm1::buildDialogs() {
    // Each dialog keeps the folder last used in it for the rest of the run.
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QString openDir = tc::gui::startFolder(exeDir, false);
    const QString saveDir = tc::gui::startFolder(exeDir, true);
    dlgOpen1 = new QFileDialog(this, QString(), openDir);
    dlgOpen1->setObjectName(QStringLiteral("dlgOpen1"));
    dlgOpen1->setFileMode(QFileDialog::ExistingFile);
    dlgOpen1->setAcceptMode(QFileDialog::AcceptOpen);
    // Name filters match the end of the name in either case ("*txt" matches data.TXT as well).
    dlgOpen1->setNameFilters({QStringLiteral("Text Files (*[tT][xX][tT])"),
                              QStringLiteral("CSV Files (*[cC][sS][vV])"),
                              QStringLiteral("All Files (*)"),
                              QStringLiteral("Records (*.txt *.csv *.dat *.xlsx *.ods *.xls)")});

    dlgSave1 = new QFileDialog(this, QString(), saveDir);
    dlgSave1->setObjectName(QStringLiteral("dlgSave1"));
    dlgSave1->setAcceptMode(QFileDialog::AcceptSave);
    dlgSave1->setFileMode(QFileDialog::AnyFile);
    dlgSave1->setNameFilters(
        {QStringLiteral("Text files (*.txt *.TXT)"), QStringLiteral("CSV files (*.csv *.CSV)")});

    dlgSaveResults = new QFileDialog(this, QStringLiteral("Export Engineering Results"), saveDir);
    dlgSaveResults->setObjectName(QStringLiteral("dlgSaveResults"));
    // The save dialogs share the folder last saved to.
    for (auto [from, to] : {std::pair{dlgSave1, dlgSaveResults}, {dlgSaveResults, dlgSave1}})
        connect(from, &QFileDialog::fileSelected, to, [to = to](const QString& file) {
            to->setDirectory(QFileInfo(file).absolutePath());
        });
    dlgSaveResults->setAcceptMode(QFileDialog::AcceptSave);
    dlgSaveResults->setFileMode(QFileDialog::AnyFile);
    dlgSaveResults->setNameFilters({QStringLiteral("CSV files (*.csv *.CSV)"),
                                    QStringLiteral("Excel workbooks (*.xlsx *.XLSX)")});
}

void TForm1::wireCommands() {
    using tc::gui::runCommand;
    // Any command may change the analysis or the skeleton curves: the results follow.
    resultsTimer_ = new QTimer(this);
    resultsTimer_->setSingleShot(true);
    resultsTimer_->setInterval(0);
    connect(resultsTimer_, &QTimer::timeout, this,
            [this] { runCommand(this, [this] { updateEngineeringResults(); }); });
    // A command that changes the workspace is one undo step: its name, what it may change, and
    // whether it is work the question before closing protects.
    struct Step {
        const char* what = nullptr; // nullptr: no step
        unsigned parts = 0;
        bool work = false;
    };
    auto command = [this](const Step& step, const std::function<void()>& handler) {
        runCommand(this, [&] {
            if (step.what)
                runStep(QString::fromUtf8(step.what), step.parts, step.work, handler);
            else
                handler();
        });
        scheduleResultsUpdate();
    };
    auto onClick = [this, command](QAbstractButton* b, void (TForm1::*handler)(), Step step = {}) {
        connect(b, &QAbstractButton::clicked, this,
                [this, handler, command, step] { command(step, [&] { (this->*handler)(); }); });
    };
    auto onTrigger = [this, command](QAction* a, void (TForm1::*handler)(), Step step = {}) {
        connect(a, &QAction::triggered, this,
                [this, handler, command, step] { command(step, [&] { (this->*handler)(); }); });
    };
    // The user's choice only: code that changes a list's selection raises no change handler.
    auto onChoose = [this, command](QComboBox* c, void (TForm1::*handler)()) {
        connect(c, &QComboBox::activated, this,
                [this, handler, command] { command({}, [&] { (this->*handler)(); }); });
    };
    using tc::AllParts, tc::AnalysisPart, tc::SkeletonPart, tc::TextsPart, tc::SettingsPart,
        tc::RecordPart;
    const Step import{"Import", AllParts, false};
    onClick(btn1, &TForm1::btn1Click, import);
    onTrigger(ImportData1, &TForm1::btn1Click, import);
    onTrigger(ImportWithPreview1, &TForm1::ImportWithPreview1Click, import);
    onClick(btn2, &TForm1::btn2Click, {"Analysis", AnalysisPart | SkeletonPart | TextsPart, true});
    onChoose(cbb1, &TForm1::cbb1Change);
    onClick(btn5, &TForm1::btn5Click, {"Extraction", SkeletonPart, true});
    onClick(btn6, &TForm1::btn6Click, {"Region Filter", SkeletonPart, true});
    onChoose(cbb3, &TForm1::cbb3Change);
    onChoose(cbb2, &TForm1::cbb2Change);
    // Loop Direction has no handler of its own; the results' first-cycle envelope and the warning
    // about it follow the choice.
    connect(cbb4, &QComboBox::activated, this, [this] { scheduleResultsUpdate(); });
    onTrigger(ExportModifiedLoop1, &TForm1::ExportModifiedLoop1Click);
    onTrigger(ExportResults1, &TForm1::ExportResults1Click);
    onClick(btn7, &TForm1::btn7Click);
    onClick(btn8, &TForm1::btn8Click);
    onTrigger(ExportDraw12Excel1, &TForm1::ExportDraw12Excel1Click);
    onTrigger(ExcelExportOptions1, &TForm1::ExcelExportOptions1Click,
              {"Excel Export Options", SettingsPart, false});
    onTrigger(SaveChartImage1, &TForm1::SaveChartImage1Click);
    onTrigger(AnalysisOptions1, &TForm1::AnalysisOptions1Click,
              {"Analysis Options", SettingsPart, false});
    onTrigger(EngineeringResults1, &TForm1::EngineeringResults1Click);
    onTrigger(ExportEngineeringResults1, &TForm1::ExportEngineeringResults1Click);
    onTrigger(ExportReport1, &TForm1::ExportReport1Click);
    onTrigger(OpenSession1, &TForm1::OpenSession1Click);
    onTrigger(SaveSession1, &TForm1::SaveSession1Click);
    onTrigger(SaveSessionAs1, &TForm1::SaveSessionAs1Click);
    onClick(btn3, &TForm1::btn3Click);
    onTrigger(HLAP1, &TForm1::HLAP1Click);
    onClick(btn4, &TForm1::btn4Click);
    onTrigger(mniDonation1, &TForm1::mniDonation1Click);
    onTrigger(Howtouse1, &TForm1::Howtouse1Click);
    onTrigger(mniWebsite1, &TForm1::mniWebsite1Click);
    connect(cht1, &ChartView::chartMouseMove, this, [this](int x, int y) { cht1MouseMove(x, y); });
    connect(cht1, &ChartView::chartDoubleClick, this, [this, command] {
        const char* what = editMode == 2   ? "Add Node"
                           : editMode == 3 ? "Delete Node"
                                           : "Node Value";
        command({what, SkeletonPart | RecordPart, true}, [&] { cht1DblClick(); });
    });
    connect(cht1, &ChartView::legendClicked, this,
            [this] { runCommand(this, [&] { cht1ClickLegend(); }); });
    // A drag is one step from the press to the release, however many moves it has.
    connect(drgpntlChartTool1, &DragPointTool::dragStarted, this, [this](ChartSeries* series, int) {
        runCommand(this, [&] {
            beginStep(QStringLiteral("Drag Node"), series == rawSeries ? RecordPart : SkeletonPart,
                      true);
        });
    });
    connect(drgpntlChartTool1, &DragPointTool::dragFinished, this, [this](ChartSeries*, int) {
        runCommand(this, [&] { endStep(); });
        scheduleResultsUpdate();
    });
    connect(undoStack, &QUndoStack::cleanChanged, this, [this] { updateTitle(); });
    connect(undoStack, &QUndoStack::indexChanged, this, [this] { ++recoveryChanges_; });
}

void TForm1::cht1MouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
}

void TForm1::cht1ClickLegend() {
    pntsrsSeries1->setActive(loopSeries->active());
    pntsrsSeries2->setActive(loopSeries->active());
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutAnchoredControls();
}

void TForm1::layoutAnchoredControls() {
    if (!client_) return;
    // edt5 stretches with the window; the chart is anchored on all four sides.
    const int w = client_->width();
    const int h = client_->height();
    const int rightMargin = kClientWidth - (259 + 649);
    const int bottomMargin = (kClientHeight - kStatusHeight) - (63 + 612);
    edt5->setGeometry(259, 8, std::max(50, w - 259 - rightMargin), edt5->height());
    cht1->setGeometry(259, 63, std::max(50, w - 259 - rightMargin),
                      std::max(50, h - 63 - bottomMargin));
}
