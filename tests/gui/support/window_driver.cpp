#include "window_driver.h"

#include "app/tform1.h"
#include "modal_answerer.h"
#include "test_files.h"

#include <QPushButton>

void importAndAnalyze(TForm1& w, ModalAnswerer& answers, const QTemporaryDir& dir,
                      const QByteArray& record, const QString& name) {
    answers.queueFile(writeTestFile(dir, name, record));
    w.btn1->click();
    w.btn2->click();
}
