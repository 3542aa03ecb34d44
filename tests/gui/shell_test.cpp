// The application shell: start-up, command wiring, the about and donation dialogs, the links and
// the status bar, and errors that leave a handler. Runs under the program's own application
// object, so that errors escaping event handlers take the same road as in the program.
#include "app/about_box.h"
#include "app/application.h"
#include "app/artwork.h"
#include "app/donation_box.h"
#include "app/link_label.h"
#include "app/tform1.h"
#include "app/web_links.h"
#include "modal_answerer.h"
#include "ui/command.h"

#include <QAction>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <functional>
#include <set>
#include <stdexcept>

namespace {

const QStringList kSchemes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"),
                           QStringLiteral("mailto")};

// A widget that runs a given action when pressed: an event handler that may throw, caught where
// every handler of the program catches, at the handler boundary. An exception must never travel
// through Qt's event delivery: Qt's own clean-up of the event would be skipped.
class Thrower : public QWidget {
public:
    Thrower(QWidget* parent, std::function<void()> action)
        : QWidget(parent), action_(std::move(action)) {
        setGeometry(0, 0, 20, 20);
    }

protected:
    void mousePressEvent(QMouseEvent*) override { tc::gui::runCommand(this, action_); }

private:
    std::function<void()> action_;
};

QWidget* findTopLevel(const char* className) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits(className)) return w;
    return nullptr;
}

} // namespace

// Takes the addresses handed to QDesktopServices instead of starting a browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() {
        for (const QString& s : kSchemes)
            QDesktopServices::setUrlHandler(s, this, "open");
    }
    ~UrlRecorder() override {
        for (const QString& s : kSchemes)
            QDesktopServices::unsetUrlHandler(s);
    }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

class ShellTest : public QObject {
    Q_OBJECT

    // Everything a command shows the user, in a comparable form: the modal dialogs it opens (class
    // and caption; each is cancelled or closed), its message boxes and the addresses it opens.
    static QStringList trace(const std::function<void()>& command) {
        ModalAnswerer answers;
        UrlRecorder urls;
        QStringList events;
        answers.otherDialog = [&](QWidget* w) {
            events << QStringLiteral("%1 \"%2\"")
                          .arg(QLatin1String(w->metaObject()->className()), w->windowTitle());
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
            return true;
        };
        command();
        for (int i = 0; i < answers.fileDialogsSeen; ++i)
            events << QStringLiteral("file dialog");
        for (const auto& m : answers.messages)
            events << QStringLiteral("message \"%1\": %2").arg(m.title, m.text);
        for (const QUrl& u : urls.urls) {
            if (!u.isLocalFile()) {
                events << QStringLiteral("open ") + u.toString();
                continue;
            }
            // A file the command made: compared by the form of its name, and not left behind.
            const QFileInfo file(u.toLocalFile());
            static const QRegularExpression digits(QStringLiteral("[0-9]+"));
            events << QStringLiteral("open file ") +
                          file.fileName().replace(digits, QStringLiteral("#"));
            if (file.absolutePath() == QFileInfo(QDir::tempPath()).absoluteFilePath())
                QFile::remove(file.filePath());
        }
        return events;
    }

    static QAbstractButton* button(TForm1& w, const QString& name) {
        return w.findChild<QAbstractButton*>(name);
    }
    static QAction* action(TForm1& w, const QString& name) { return w.findChild<QAction*>(name); }

private slots:
    void initTestCase() {
        // No guide from the system's share folders: lookups see only what the tests lay out.
        QVERIFY(dataDirs.isValid());
        qputenv("XDG_DATA_DIRS", dataDirs.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", dataDirs.path().toLocal8Bit());
    }

    // ---- start-up ----

    void startUpShowsTheMainWindowAndReturnsZero() {
        ModalAnswerer answers;
        QString caption;
        bool visible = false, hasIcon = false;
        // An error that ends a handler while the loop runs: shown, and the window stays.
        QTimer::singleShot(0, [] {
            tc::gui::runCommand(QApplication::activeWindow(),
                                [] { throw std::runtime_error("escaped from a timer"); });
        });
        QTimer closer;
        QElapsedTimer waited;
        waited.start();
        connect(&closer, &QTimer::timeout, [&] {
            // The window the start-up made: a form of an earlier case may still await deletion.
            TForm1* form = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* f = qobject_cast<TForm1*>(w); f && (f->isVisible() || !form)) form = f;
            if (!form || QApplication::activeModalWidget() || answers.messages.empty()) return;
            if (!form->isVisible() && waited.elapsed() < 10000) return;
            caption = form->windowTitle();
            visible = form->isVisible();
            hasIcon = !form->windowIcon().isNull();
            form->close();
        });
        closer.start(20);
        QCOMPARE(tc::gui::runMainWindow(), 0);
        QCOMPARE(caption, QStringLiteral("Tarvel Curve Analysis (TarvelCurve team) (20190816)"));
        QVERIFY(visible);
        QVERIFY(hasIcon);
        QCOMPARE(answers.messages.size(), size_t(1));
        QCOMPARE(answers.messages[0].title, QStringLiteral("TarvelCurve"));
        QCOMPARE(answers.messages[0].text, QStringLiteral("escaped from a timer"));
        QCOMPARE(answers.messages[0].icon, QMessageBox::Critical);
        QVERIFY(!findTopLevel("TForm1")); // the main form is gone with the loop
    }

    void applicationTitleIsTheBoxCaption() {
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("TarvelCurve"));
        QCOMPARE(tc::gui::appTitle(), QStringLiteral("TarvelCurve"));
        QVERIFY(!QApplication::windowIcon().isNull());
        // The display name would be appended to every window caption.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    }

    // ---- errors that end a command ----

    void errorsInHandlersAreShownAndTheWindowStays_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("conversion error in a command") << 0 << "not a valid integer value";
        QTest::newRow("std::exception in an event handler") << 1 << "disk on fire";
        QTest::newRow("any other thrown value") << 2 << "";
    }
    void errorsInHandlersAreShownAndTheWindowStays() {
        QFETCH(int, kind);
        QFETCH(QString, message);
        TForm1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* thrower = new Thrower(&w, [kind] {
            if (kind == 1) throw std::runtime_error("disk on fire");
            throw 42;
        });
        thrower->show();
        const QStringList events = trace([&] {
            if (kind == 0) {
                w.edt8->setText(QStringLiteral("x1"));
                w.btn1->click();
            } else {
                QTest::mouseClick(thrower, Qt::LeftButton);
            }
        });
        QCOMPARE(events.size(), 1);
        const QString box = QStringLiteral("message \"TarvelCurve\": ");
        QVERIFY2(events[0].startsWith(box) && events[0].endsWith(message) &&
                     (kind != 0 || events[0].contains("x1")),
                 qPrintable(events[0]));
        if (message.isEmpty()) QCOMPARE(events[0], box);
        QVERIFY(w.isVisible());
        // The window goes on working.
        QCOMPARE(trace([&] { w.btn3->click(); }),
                 QStringList{QStringLiteral("TAboutBox \"About\"")});
    }

    // ---- command wiring ----

    // A button and the menu item of the same command reach the same operation, once.
    void buttonAndMenuItemDoTheSame_data() {
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<QStringList>("expected"); // empty: only the same as the other
        QTest::newRow("Import Loop") << "btn1"
                                     << "ImportData1" << QStringList{"file dialog"};
        QTest::newRow("save results") << "btn7"
                                      << "ExportResults1" << QStringList{};
        QTest::newRow("Excel export") << "btn8"
                                      << "ExportDraw12Excel1" << QStringList{};
        QTest::newRow("About") << "btn3"
                               << "HLAP1" << QStringList{"TAboutBox \"About\""};
        QTest::newRow("Donation") << "btn4"
                                  << "mniDonation1"
                                  << QStringList{"TDonationBox \"Donation (捐助)\""};
    }
    void buttonAndMenuItemDoTheSame() {
        QFETCH(QString, buttonName);
        QFETCH(QString, actionName);
        QFETCH(QStringList, expected);
        TForm1 w;
        QAbstractButton* b = button(w, buttonName);
        QAction* a = action(w, actionName);
        QVERIFY(b && a);
        const QStringList byButton = trace([&] { b->click(); });
        const QStringList byMenu = trace([&] { a->trigger(); });
        QCOMPARE(byMenu, byButton);
        if (!expected.isEmpty()) QCOMPARE(byButton, expected);
    }

    void menuOnlyItemsRunOnce_data() {
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<int>("urls");
        QTest::newRow("How to use?") << "Howtouse1" << 1;
        QTest::newRow("web site") << "mniWebsite1" << 1;
    }
    void menuOnlyItemsRunOnce() {
        QFETCH(QString, actionName);
        QFETCH(int, urls);
        TForm1 w;
        UrlRecorder rec;
        action(w, actionName)->trigger();
        QCOMPARE(rec.urls.size(), urls);
    }

    void shortcutsAreDistinct() {
        TForm1 w;
        QCOMPARE(w.ImportData1->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(w.Howtouse1->shortcut(), QKeySequence(QKeySequence::HelpContents));
        std::set<QString> seen;
        for (QAction* a : w.mm1->findChildren<QAction*>()) {
            if (a->shortcut().isEmpty()) continue;
            QVERIFY2(seen.insert(a->shortcut().toString()).second,
                     qPrintable(a->shortcut().toString()));
        }
    }

    // ---- the dialogs ----

    void dialogIsNewOnEveryOpeningAndClosesLikeOk_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("dialogClass");
        QTest::addColumn<QString>("closeBy");
        for (const char* closeBy : {"button", "close box", "escape"}) {
            QTest::addRow("about button, %s", closeBy) << "btn3"
                                                       << "TAboutBox" << closeBy;
            QTest::addRow("about menu, %s", closeBy) << "HLAP1"
                                                     << "TAboutBox" << closeBy;
            QTest::addRow("donation button, %s", closeBy) << "btn4"
                                                          << "TDonationBox" << closeBy;
            QTest::addRow("donation menu, %s", closeBy) << "mniDonation1"
                                                        << "TDonationBox" << closeBy;
        }
    }
    void dialogIsNewOnEveryOpeningAndClosesLikeOk() {
        QFETCH(QString, trigger);
        QFETCH(QString, dialogClass);
        QFETCH(QString, closeBy);
        TForm1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        ModalAnswerer answers;
        QList<QPointer<QDialog>> opened;
        QList<int> results;
        bool firstGoneBeforeSecond = false, ownedByTheWindow = true;
        answers.otherDialog = [&](QWidget* top) {
            auto* d = qobject_cast<QDialog*>(top);
            if (!d) return false;
            if (!opened.isEmpty()) firstGoneBeforeSecond = opened.constFirst().isNull();
            opened << d;
            ownedByTheWindow =
                ownedByTheWindow && d->parentWidget() == &w && d->inherits(qPrintable(dialogClass));
            connect(d, &QDialog::finished, [&](int r) { results << r; });
            if (closeBy == "button")
                d->findChild<QPushButton*>(dialogClass == "TAboutBox" ? "OKButton" : "btn1")
                    ->click();
            else if (closeBy == "close box")
                d->close();
            else
                QTest::keyClick(d, Qt::Key_Escape);
            return true;
        };
        auto open = [&] {
            if (QAbstractButton* b = button(w, trigger))
                b->click();
            else
                action(w, trigger)->trigger();
        };
        open();
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened[0].isNull()); // destroyed as soon as it closed
        open();
        QCOMPARE(opened.size(), 2);
        QVERIFY(firstGoneBeforeSecond);
        QVERIFY(opened[1].isNull());
        QCOMPARE(results, (QList<int>{QDialog::Accepted, QDialog::Accepted}));
        QVERIFY(ownedByTheWindow);
    }

    void dialogsAreCentredOnTheMainWindow_data() {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("about") << "btn3";
        QTest::newRow("donation") << "btn4";
    }
    void dialogsAreCentredOnTheMainWindow() {
        QFETCH(QString, trigger);
        TForm1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        ModalAnswerer answers;
        QPoint offset(1000, 1000);
        QRect dialogRect;
        answers.otherDialog = [&](QWidget* d) {
            dialogRect = d->frameGeometry();
            offset = dialogRect.center() - w.frameGeometry().center();
            d->close();
            return true;
        };
        button(w, trigger)->click();
        QVERIFY(dialogRect.isValid());
        const QRect screen = w.screen()->availableGeometry();
        QRect centred = dialogRect;
        centred.moveCenter(w.frameGeometry().center());
        if (!screen.contains(centred))
            QSKIP("the test screen is too small to centre the dialog on the window");
        QVERIFY2(std::abs(offset.x()) <= 2 && std::abs(offset.y()) <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    }

    void aboutBoxContents() {
        TForm1 w;
        TAboutBox box(&w);
        QCOMPARE(box.windowTitle(), QStringLiteral("About"));
        QCOMPARE(box.size(), QSize(767, 602));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QVERIFY(
            !(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(box.isModal());
        QCOMPARE(box.OKButton->text(), QStringLiteral("OK"));
        QVERIFY(box.OKButton->isDefault());
        QCOMPARE(box.Panel1->frameShadow(), QFrame::Raised);
        QStringList texts;
        for (QLabel* l : box.findChildren<QLabel*>())
            texts << l->text();
        QVERIFY(texts.contains(QStringLiteral("Tarvel Curve Analysis Program")));
        QVERIFY(texts.contains(QStringLiteral("Version: 2019.08.16")));
        QVERIFY(box.lbl9->text().contains(tc::gui::webSiteHost()));
        QCOMPARE(box.findChildren<PictureBox*>().size(), 3);
    }

    void donationBoxContents() {
        TForm1 w;
        TDonationBox box(&w);
        QCOMPARE(box.windowTitle(), QStringLiteral("Donation (捐助)"));
        QCOMPARE(box.size(), QSize(651, 463));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        const Qt::WindowFlags flags = box.windowFlags();
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                           Qt::WindowContextHelpButtonHint)));
        QVERIFY(box.isModal());
        QCOMPARE(box.lbl10->text(), QStringLiteral("Donation (捐助) :    "));
        QCOMPARE(box.btn1->text(), QStringLiteral("Close"));
        const QList<PictureBox*> pictures = box.findChildren<PictureBox*>();
        QCOMPARE(pictures.size(), 4);
        int naming = 0;
        for (PictureBox* p : pictures)
            naming += p->toolTip().contains(tc::gui::webSiteHost());
        QCOMPARE(naming, 2);
    }

    // Every text of the dialogs is shown whole, inside its window, and every picture draws
    // something.
    void dialogTextsFitAndPicturesDraw_data() {
        QTest::addColumn<QString>("dialogClass");
        QTest::newRow("about") << "TAboutBox";
        QTest::newRow("donation") << "TDonationBox";
    }
    void dialogTextsFitAndPicturesDraw() {
        QFETCH(QString, dialogClass);
        TForm1 w;
        std::unique_ptr<QDialog> box;
        if (dialogClass == "TAboutBox")
            box = std::make_unique<TAboutBox>(&w);
        else
            box = std::make_unique<TDonationBox>(&w);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        const QRect client = box->rect();
        for (QLabel* l : box->findChildren<QLabel*>()) {
            const QString name = l->objectName();
            QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(name + " is clipped"));
            const QRect inBox(l->mapTo(box.get(), QPoint(0, 0)), l->size());
            QVERIFY2(client.contains(inBox), qPrintable(name + " leaves the window"));
            const QRect inParent = l->geometry();
            QVERIFY2(l->parentWidget()->rect().contains(inParent),
                     qPrintable(name + " leaves its panel"));
        }
        for (PictureBox* p : box->findChildren<PictureBox*>()) {
            const QImage img = p->grab().toImage();
            QSet<QRgb> colours;
            for (int y = 0; y < img.height(); y += 2)
                for (int x = 0; x < img.width(); x += 2)
                    colours.insert(img.pixel(x, y));
            QVERIFY2(colours.size() > 20, qPrintable(p->objectName() + " draws next to nothing"));
        }
    }

    // ---- links ----

    void linksLightUpUnderTheMouse_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("name");
        QTest::newRow("status bar web site") << "main"
                                             << "rzfldsts2";
        QTest::newRow("about web site") << "about"
                                        << "lbl6";
        QTest::newRow("about donation page") << "about"
                                             << "lbl11";
        QTest::newRow("donation page") << "donation"
                                       << "lbl11";
    }
    void linksLightUpUnderTheMouse() {
        QFETCH(QString, where);
        QFETCH(QString, name);
        TForm1 w;
        std::unique_ptr<QWidget> box;
        if (where == "about") box = std::make_unique<TAboutBox>(&w);
        if (where == "donation") box = std::make_unique<TDonationBox>(&w);
        QWidget* host = box ? box.get() : static_cast<QWidget*>(&w);
        auto* link = host->findChild<LinkLabel*>(name);
        QVERIFY(link);
        auto check = [&](bool hot) {
            QCOMPARE(link->palette().color(QPalette::WindowText),
                     hot ? QColor(0, 0, 0xFF) : QColor(0, 0, 0));
            QVERIFY(link->font().bold());
            QCOMPARE(link->font().underline(), hot);
        };
        check(false);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), link->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(link, &enter);
        check(true);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(link, &leave);
        check(false);
    }

    void linksOpenTheirAddresses_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QUrl>("url");
        const QUrl site = tc::gui::webSiteUrl(), donate = tc::gui::donationUrl();
        QTest::newRow("status bar") << "main"
                                    << "rzfldsts2" << site;
        QTest::newRow("about web site") << "about"
                                        << "lbl6" << site;
        QTest::newRow("about thank-you line") << "about"
                                              << "lbl9" << site;
        QTest::newRow("about donation") << "about"
                                        << "lbl11" << donate;
        QTest::newRow("donation page") << "donation"
                                       << "lbl11" << donate;
        QTest::newRow("menu web site") << "menu"
                                       << "mniWebsite1" << site;
    }
    void linksOpenTheirAddresses() {
        QFETCH(QString, where);
        QFETCH(QString, name);
        QFETCH(QUrl, url);
        TForm1 w;
        std::unique_ptr<QWidget> box;
        if (where == "about") box = std::make_unique<TAboutBox>(&w);
        if (where == "donation") box = std::make_unique<TDonationBox>(&w);
        UrlRecorder rec;
        if (where == "menu") {
            action(w, name)->trigger();
        } else {
            QWidget* host = box ? box.get() : static_cast<QWidget*>(&w);
            auto* link = host->findChild<LinkLabel*>(name);
            QVERIFY(link);
            QTest::mouseClick(link, Qt::LeftButton);
        }
        QCOMPARE(rec.urls, QList<QUrl>{url});
        QCOMPARE(url.host(), tc::gui::webSiteHost());
        QCOMPARE(url.scheme(), QStringLiteral("https"));
    }

    void aPressThatLeavesTheLinkOpensNothing() {
        TForm1 w;
        auto* link = w.findChild<LinkLabel*>(QStringLiteral("rzfldsts2"));
        UrlRecorder rec;
        QTest::mousePress(link, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, 3));
        QTest::mouseClick(link, Qt::RightButton);
        QVERIFY(rec.urls.isEmpty());
    }

    void howToUseOpensTheGuideThatShipsWithTheProgram() {
        TForm1 w;
        UrlRecorder rec;
        w.Howtouse1->trigger();
        QCOMPARE(rec.urls.size(), 1);
        const QUrl url = rec.urls[0];
        QVERIFY2(url.isLocalFile(), qPrintable(url.toString()));
        QVERIFY(url.toLocalFile().endsWith(QStringLiteral("/user-guide.html")));
        QFile guide(url.toLocalFile());
        QVERIFY(guide.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(guide.readAll());
        // Every command of the window is explained, and the pictures it shows are there.
        for (const char* s : {"Import Loop",
                              "Analyze Loop",
                              "提取骨架曲线",
                              "删除指定区域容差范围的点",
                              "保存结果",
                              "输出EXCEL",
                              "Export Modified Loop",
                              "Export Analysis Results",
                              "Export Draw1 2 Excel",
                              "Excel Export Options",
                              "操作类型",
                              "操作对象",
                              "每一圈力最大点",
                              "每一圈位移最大点",
                              "每一圈力最大点+位移最大点",
                              "每一圈包络点(力最大点为分界)",
                              "每一圈包络点(位移最大点为分界)",
                              "控制位移递增",
                              "Loop Direction",
                              "How to use?",
                              "Donation"})
            QVERIFY2(html.contains(QString::fromUtf8(s)), s);
        const QDir dir = QFileInfo(guide).dir();
        static const QRegularExpression img(QStringLiteral("<img[^>]*src=\"([^\"]+)\""));
        int pictures = 0;
        for (auto it = img.globalMatch(html); it.hasNext(); ++pictures) {
            const QString src = it.next().captured(1);
            QVERIFY2(QFileInfo(dir.filePath(src)).isFile(), qPrintable(src));
        }
        QVERIFY(pictures >= 3);
    }

    void userGuideIsFoundBesideOrInstalled_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("expected"); // relative to the temporary folder; empty: none
        const QString beside = "bin/docs/user-guide.html";
        const QString installed = "share/doc/tarvelcurve/user-guide.html";
        QTest::newRow("beside the executable") << QStringList{beside} << beside;
        QTest::newRow("installed share folder") << QStringList{installed} << installed;
        QTest::newRow("both: the one beside wins") << QStringList{installed, beside} << beside;
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("a folder of that name is no guide")
            << QStringList{"bin/docs/user-guide.html/"} << "";
    }
    void userGuideIsFoundBesideOrInstalled() {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("bin"));
        for (const QString& f : files) {
            const QString path = root.filePath(f);
            if (f.endsWith('/')) {
                QVERIFY(QDir().mkpath(path));
                continue;
            }
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
        }
        const QString found = tc::gui::localUserGuidePath(root.filePath("bin"));
        QCOMPARE(found, expected.isEmpty() ? QString() : QDir::cleanPath(root.filePath(expected)));
    }

    // ---- status bar and menu ----

    void statusBarFields() {
        TForm1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QList<QLabel*> fields{w.rzfldsts3, w.rzfldsts1, w.rzfldsts2};
        const QList<int> widths{89, 155, 108};
        for (int i = 0; i < 3; ++i) {
            QLabel* f = fields[i];
            QCOMPARE(f->parentWidget(), w.rzstsbr1);
            QCOMPARE(f->width(), widths[i]);
            QVERIFY(f->font().bold());
            QVERIFY(f->alignment() & Qt::AlignLeft);
            if (i > 0) QVERIFY(fields[i - 1]->x() < f->x()); // left to right in this order
        }
        QCOMPARE(w.rzfldsts3->text(), QStringLiteral("TarvelCurve"));
        QCOMPARE(w.rzfldsts1->text(), QStringLiteral("  Welcome to my Website :"));
        QCOMPARE(w.rzfldsts2->text(), tc::gui::webSiteHost());
        QCOMPARE(w.mniWebsite1->text(), QStringLiteral("访问 ") + tc::gui::webSiteHost());
        QCOMPARE(w.rzstsbr1->height(), 27);
        if (QFontInfo(w.rzfldsts2->font()).family() != QStringLiteral("Tahoma"))
            QSKIP("no Tahoma on this system: the field widths are made for it");
        for (QLabel* f : fields)
            QVERIFY2(QFontMetrics(f->font()).horizontalAdvance(f->text()) <=
                         f->contentsRect().width(),
                     qPrintable(f->objectName() + " is clipped"));
    }

    void mainWindowCaption() {
        TForm1 w;
        QCOMPARE(w.windowTitle(),
                 QStringLiteral("Tarvel Curve Analysis (TarvelCurve team) (20190816)"));
    }

    // ---- the pictures' sample data ----

    void sampleSkeletonRunsOutwards() {
        const tc::gui::art::Skeleton s = tc::gui::art::sampleSkeleton();
        QVERIFY(s.positive.size() >= 4 && s.negative.size() >= 4);
        QCOMPARE(s.positive.front(), QPointF(0, 0));
        QCOMPARE(s.negative.front(), QPointF(0, 0));
        for (size_t i = 1; i < s.positive.size(); ++i) {
            QVERIFY(s.positive[i].x() > s.positive[i - 1].x());
            QVERIFY(s.positive[i].y() > 0);
        }
        for (size_t i = 1; i < s.negative.size(); ++i) {
            QVERIFY(s.negative[i].x() < s.negative[i - 1].x());
            QVERIFY(s.negative[i].y() < 0);
        }
    }

private:
    QTemporaryDir dataDirs;
};

int main(int argc, char* argv[]) {
    // Headless, a screen large enough to centre the about box on the main window.
    QTemporaryFile screens(QDir::tempPath() + QStringLiteral("/tc_screens_XXXXXX.json"));
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screens.open()) {
        screens.write(R"({"screens": [{"name": "big", "x": 0, "y": 0, "width": 1600, "height": 1200,
                          "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    }
    tc::gui::Application app(argc, argv);
    tc::gui::initApplication();
    app.setAttribute(Qt::AA_Use96Dpi, true);
    ShellTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "shell_test.moc"
