#pragma once
#include "export/excel_options.h"
#include "results/analysis_options.h"
#include "results/engineering_results.h"
#include "session/session_file.h"
#include "workspace/import_settings.h"
#include "workspace/loop_analysis.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;
class QUndoStack;
class QLockFile;
class ChartReadout;
class ChartSeries;
class ChartView;
class LegendPlacement;
class CursorTool;
class DragPointTool;
class ResultsOverlay;
class TResultsForm;

// The main window: the curve workspace, the controls, and one handler per command. The window's
// layout, menus and wiring are in tform1.cpp; the handlers live in app/commands/, one file per
// group of commands:
//   workspace_handlers.cpp   Import Loop, Analyze Loop, the loop browser
//   import_handlers.cpp      the one import path, Import with Preview, dropped and recent records
//   skeleton_handlers.cpp    skeleton extraction, the region tolerance filter
//   node_editing.cpp         the edit type and object, dragging, adding and deleting nodes, typed
//                            node coordinates
//   chart_readouts.cpp       the chart's read-outs under the mouse and the legend's placement
//   export_handlers.cpp      the text and CSV exports, the workbook with its chart, its options
//   results_handlers.cpp     analysis options, the engineering results window and its export
//   report_handler.cpp       Export Report: the record, settings, chart, plots and tables as PDF
//   chart_image_handler.cpp  Save Chart Image
//   shell_handlers.cpp       the about and donation boxes, the guide and the web links
//   undo_steps.cpp           undo and redo: each command as a step of what it changed
//   session_handlers.cpp     Save Session, Open Session, the question before work is lost,
//                            crash recovery
// Each reads the controls, calls the core, stores the result here and updates controls and
// series. docs/architecture.md says what may include what.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- curve workspace ----
    std::vector<double> dispRaw;  // imported displacement, file order
    std::vector<double> forceRaw; // imported force, forceRaw[i] belongs to dispRaw[i]
    // The last loop analysis; the members below name its parts.
    tc::LoopAnalysis analysis;
    std::vector<double>& loopDisp = analysis.loopDisp; // analysed curve
    std::vector<double>& loopForce = analysis.loopForce;
    std::vector<int>& crossIndex = analysis.crossIndex; // crossing points, first 0
    std::vector<int>& peakIndex1 = analysis.peakIndex1;
    std::vector<int>& peakIndex2 = analysis.peakIndex2;
    std::vector<double>& maxDisp1 = analysis.maxDisp1;
    std::vector<double>& maxDisp2 = analysis.maxDisp2;
    std::vector<double>& maxDispForce1 = analysis.maxDispForce1;
    std::vector<double>& maxDispForce2 = analysis.maxDispForce2;
    // For each point of rawSeries, the index of dispRaw/forceRaw it shows (kept across deletes).
    std::vector<int> rawSeriesSource;

    ChartSeries* pntsrsSeries1 = nullptr; // "Point1": start, middle and end of the selected loop
    ChartSeries* pntsrsSeries2 = nullptr; // "Point2": peaks of the selected loop
    ChartSeries* rawSeries = nullptr;     // "Loop": the whole imported curve
    ChartSeries* loopSeries = nullptr;    // the selected loop
    ChartSeries* skeletonPosSeries = nullptr;
    ChartSeries* skeletonNegSeries = nullptr;

    int editMode = 0;                    // 0 none, 1 drag node, 2 add node, 3 delete node
    ChartSeries* editSeries = nullptr;   // the curve being edited, or none
    int mouseX = 0, mouseY = 0;          // last mouse position over the chart, pixels
    tc::ExcelExportOptions excelOptions; // workbook export options, defaults at start
    tc::AnalysisOptions analysisOptions; // dead band, level tolerance, yield method
    // An import that runs longer than this shows its progress, with Cancel.
    int importProgressDelayMs = 500;
    // The same for the workbook export.
    int workbookProgressDelayMs = 500;

    void clearImport();
    void clearAnalysis();
    void clearLoopValues();

    // ---- commands ----
    void btn1Click(); // Import Loop (button and menu)
    void importLoopFile();
    // ---- import options, preview, dropped and recent records ----
    // Columns, scales, signs, separators and units of every import in this run; at the defaults
    // the import reads as specified.
    tc::ImportSettings importSettings;
    QStringList recentRecords; // the last records imported in this run, newest first
    void ImportWithPreview1Click();
    // Reads edt7 and edt8 with their checks and warnings; false when the import must not go on.
    bool readImportParameters(int& beginLine, int& step);
    // The one import path of every command: empties the workspace, reads the file with the
    // settings in force, draws it and reports where and why it stopped.
    void importRecordFile(const QString& path, int beginLine, int step);
    // Its reading and the change of the workspace, as one undo step.
    void readIntoWorkspace(const QString& path, int beginLine, int step);
    // The preview dialog for a file; accepting it imports through importRecordFile.
    void previewRecordFile(const QString& path);
    // A dropped or recent record: the checks of Import Loop, then the import.
    void importRecordWithoutDialog(const QString& path);
    void applyImportSettings(); // axis titles and the status-bar note
    void addRecentRecord(const QString& path);
    QAction* ImportWithPreview1 = nullptr;
    QMenu* RecentRecords1 = nullptr;
    QLabel* importOptionsNote = nullptr; // status bar: the import options when not the defaults

    void btn2Click();  // Analyze Loop
    void cbb1Change(); // loop browser
    void btn5Click();  // extract skeleton curves
    void btn6Click();  // region tolerance filter
    void cbb3Change();
    void cbb2Change();
    void applyEditState(int mode, ChartSeries* series);
    void drgpntlChartTool1Drag(int index);
    void cht1DblClick();
    void cht1MouseMove(int x, int y);
    void cht1ClickLegend();
    // Puts point `index` of a curve at (x, y) as one change: the series, the imported arrays for
    // the imported curve, the status bar. The typed coordinates of a node go through here.
    void setNodeValue(ChartSeries* series, int index, double x, double y);
    void ExportModifiedLoop1Click();
    void ExportResults1Click();
    void btn7Click();
    void btn8Click();
    void ExportDraw12Excel1Click();
    void ExcelExportOptions1Click();
    void SaveChartImage1Click();
    void btn3Click();
    void btn4Click();
    void HLAP1Click();
    void mniDonation1Click();
    void Howtouse1Click();
    void mniWebsite1Click();
    void AnalysisOptions1Click();
    void EngineeringResults1Click();
    void ExportEngineeringResults1Click();
    void ExportReport1Click();
    // The report of the current analysis as PDF bytes (empty when it could not be drawn).
    QByteArray reportBytes(int* pages = nullptr);
    void showAboutBox();
    void showDonationBox();

    // ---- controls (object names as in the layout) ----
    QGroupBox *grp1, *grp2, *grp3;
    QLabel *lbl1, *lbl2, *lbl3, *lbl4, *lbl5, *lbl6, *lbl7, *lbl8, *lbl9, *lbl10, *lbl11, *lbl12,
        *lbl13;
    QLineEdit *edt1, *edt2, *edt3, *edt4, *edt5, *edt6, *edt7, *edt8, *edt9, *edt10, *edt11;
    QComboBox *cbb1, *cbb2, *cbb3, *cbb4;
    QRadioButton *rb1, *rb2, *rb3, *rb4, *rb5;
    QCheckBox* chk1;
    QPushButton *btn1, *btn2, *btn3, *btn4, *btn5, *btn6, *btn7, *btn8;
    ChartView* cht1;
    DragPointTool* drgpntlChartTool1; // drags a point of the curve being edited
    CursorTool* crsrtlChartTool1;     // cross-hair marking where a point will be added
    QStatusBar* rzstsbr1;
    QLabel *rzfldsts3, *rzfldsts1, *rzfldsts2;
    QLabel* rzfldsts4;                          // the active dead band, hidden while there is none
    QLabel* rzfldsts5;                          // the warnings of the engineering results
    QLabel* rzfldsts6 = nullptr;                // the data coordinates under the mouse
    QLabel* rzfldsts7 = nullptr;                // the node last dragged, added or typed
    ChartReadout* chartReadout = nullptr;       // the chart's read-outs and point tooltips
    LegendPlacement* legendPlacement = nullptr; // legend where it covers the fewest points
    // For each imported point, its point of the analysed curve; made at the first need after an
    // analysis (emptied with the analysis).
    std::vector<int> rawAnalysedIndex;
    // The loop of point `index` of a series, "Loop n", for the imported curve; empty otherwise.
    QString pointNote(const ChartSeries* series, int index);
    // The status bar's node field: a curve's point and its coordinates.
    void showNode(const QString& text);
    QString nodeText(const ChartSeries* series, int index) const;
    QMenuBar* mm1;
    QAction *ImportData1, *ExportModifiedLoop1, *ExportResults1, *ExportDraw12Excel1,
        *ExcelExportOptions1, *HLAP1, *mniDonation1, *Howtouse1, *mniWebsite1;
    QAction* SaveChartImage1;
    QFileDialog* dlgOpen1;
    QFileDialog* dlgSave1;
    QFileDialog* dlgSaveImage1 = nullptr; // the chart image's save dialog, made at first use

    // ---- engineering results ----
    // The results of the current analysis and skeleton curves (after filtering and edits).
    tc::EngineeringResults engineeringResults() const;
    // Refreshes the status bar's dead band and warnings and, while it is open, the results window
    // and the chart's result marks, once the current event is done. Called after every command
    // and every dragged point.
    void scheduleResultsUpdate();
    void updateEngineeringResults();
    // Created on first use: a window of its own, no child of this one, so it neither stays above
    // nor minimises with it; deleted by this window before the chart it marks.
    TResultsForm* resultsForm = nullptr;
    ResultsOverlay* resultsOverlay = nullptr; // the marks, drawn while the window is open
    QAction *AnalysisOptions1, *EngineeringResults1, *ExportEngineeringResults1;
    QFileDialog* dlgSaveResults;
    QAction* ExportReport1 = nullptr;
    QFileDialog* dlgSaveReport = nullptr; // the report's save dialog, made at first use

    // The user's decimal separator.
    char decimalSeparator() const;

    // ---- undo, sessions and recovery (undo_steps.cpp, session_handlers.cpp) ----
    // The imported values of the record points dragged on the chart, ascending index: with
    // dispRaw/forceRaw they give the record as imported.
    std::vector<tc::RawPointValue> rawOriginals;
    tc::AnalysisInput analysisInput; // what the last analysis read
    QUndoStack* undoStack = nullptr;
    QAction *Undo1, *Redo1, *SaveSession1, *SaveSessionAs1, *OpenSession1;
    QFileDialog* dlgSession = nullptr; // the session dialogs, made at first use
    QString sessionPath;               // the session saved or opened last; empty: none

    // Runs a handler as one undo step named `what` (the "Undo <what>" of the Edit menu) over the
    // parts of the workspace it may change (tc::StatePart). A handler run inside another step
    // belongs to that one. work: the step is work that the question before closing protects (an
    // analysis, extraction or edit; an import alone is not).
    void runStep(const QString& what, unsigned parts, bool work,
                 const std::function<void()>& handler);
    void beginStep(const QString& what, unsigned parts, bool work);
    void endStep();
    // The live workspace for tc::captureState and tc::makeDelta.
    tc::WorkspaceRefs workspaceRefs();
    // Puts the workspace into the other version of a step (forward: after it).
    void applyStep(const tc::WorkspaceDelta& delta, bool forward);
    // An analysis, extraction or edit that is in no saved session.
    bool hasUnsavedWork() const;
    // Asks "Save the changes to the session?" when there is unsaved work; false when the user
    // chose Cancel (or Save and then did not save).
    bool maySaveChanges();
    void SaveSession1Click();
    void SaveSessionAs1Click();
    void OpenSession1Click();
    bool saveSession(const QString& path); // false when it failed (the error is shown)
    void openSession(const QString& path);
    tc::Session currentSession();
    void showSession(const tc::Session& session, tc::RestoredWorkspace workspace);
    void updateTitle();
    // Crash recovery: from now on a copy of unsaved work is written to this folder at most every
    // 30 s; a copy left there by a run that ended without closing is offered first.
    void startRecovery(const QString& folder);
    void writeRecoveryCopy();
    QString recoveryFile; // this run's copy; empty while recovery is off

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildLayout();
    void buildMenu();
    void buildStatusBar();
    void buildChart();
    void buildDialogs();
    void wireCommands();
    void buildReadouts();
    void layoutAnchoredControls();

    QWidget* client_ = nullptr;
    QTimer* resultsTimer_ = nullptr;
    // The step being recorded: what it may change, as it was before.
    struct PendingStep {
        QString what;
        bool work = false;
        tc::WorkspaceState before;
    };
    std::unique_ptr<PendingStep> step_;
    int stepDepth_ = 0;
    bool changesConfirmed_ = false; // the question before an import has been answered
    QTimer* recoveryTimer_ = nullptr;
    int recoveryChanges_ = 0; // counts the undo stack's changes
    int recoveryIndex_ = -1;  // the count at the last recovery copy
    std::thread recoveryWriter_;
    std::unique_ptr<QLockFile> recoveryLock_;
};
