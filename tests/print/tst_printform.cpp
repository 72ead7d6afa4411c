#include "DataUnit.h"
#include "DbSession.h"
#include "GuiSeams.h"
#include "PayRep.h"
#include "PrintFixture.h"
#include "PrintForm.h"
#include "TestSupport.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <memory>

// The journal with three orders, the print form printing to PDF files (one
// file per job) and the print dialog, all on a temporary database.
struct PrintRig {
    TempDatabase db;
    QTemporaryDir out;
    TDataBase1 data;
    TPayReportForm report;
    TPrintForm dialog;
    QStringList jobs;
    int shownCopies = -1;
    // What the stand-in user does in each kind of window.
    std::function<int(TPrintForm &)> inDialog = [](TPrintForm &d) { return d.result(); };
    std::function<int(QPrintDialog &)> inPrinterSetup = [](QPrintDialog &) { return int(QDialog::Rejected); };
    std::function<int(QPrintPreviewDialog &)> inPreview = [](QPrintPreviewDialog &) { return int(QDialog::Rejected); };
    std::function<int(QFileDialog &)> inFileDialog = [](QFileDialog &) { return int(QDialog::Rejected); };

    PrintRig()
    {
        DbSession::instance().setBusyTimeout(200);
        db.open(data.PaysTable, QStringLiteral("PaysDB"), QStringLiteral("Num"));
        db.open(data.PayerTable, QStringLiteral("PayerDB"), QStringLiteral("PSName"));
        addCounterparties(data.PayerTable);
        addOrder(data.PaysTable, 101, 1500);
        addOrder(data.PaysTable, 102, 2500.5);
        addOrder(data.PaysTable, 103, 3500);
        data.PaysTable.setRecNo(2);
        report.setTables(&data.PaysTable, &data.PayerTable);
        dialog.setTargets(&data.PaysTable, &report);
        report.printer().setOutputFormat(QPrinter::PdfFormat);
        report.beforeJob = [this](QPrinter &p) {
            jobs << out.filePath(QStringLiteral("job%1.pdf").arg(jobs.size() + 1));
            p.setOutputFileName(jobs.last());
        };
        Modal::setHook([this](QDialog *d) {
            if (auto *f = qobject_cast<TPrintForm *>(d)) {
                shownCopies = f->CopySpinEdit->value();
                return inDialog(*f);
            }
            if (auto *p = qobject_cast<QPrintDialog *>(d))
                return inPrinterSetup(*p);
            if (auto *p = qobject_cast<QPrintPreviewDialog *>(d))
                return inPreview(*p);
            if (auto *f = qobject_cast<QFileDialog *>(d))
                return inFileDialog(*f);
            return int(QDialog::Rejected);
        });
    }
    ~PrintRig() { Modal::setHook({}); }

    // The order as stored, read through a cursor of its own.
    QVariant stored(double num, const char *name)
    {
        DbTable other;
        db.open(other, QStringLiteral("PaysDB"), QStringLiteral("Num"));
        return other.findKey({num}) ? other.fieldByName(QLatin1String(name))->value() : QVariant();
    }
    // Opens the dialog and lets the stand-in user act in it.
    int open(std::function<int(TPrintForm &)> act)
    {
        inDialog = std::move(act);
        dialog.reject();
        return dialog.ShowModal();
    }
    // The order number each job printed, read from its PDF.
    QStringList printedNumbers() const
    {
        QStringList numbers;
        const QRectF box = PayForm::element(u"NumText")->sheetRect().adjusted(-0.3, -0.3, 0.3, 0.3);
        for (const QString &job : jobs) {
            if (pdfPageCount(job) != 1) {
                numbers << QStringLiteral("pages: %1").arg(pdfPageCount(job));
                continue;
            }
            QString n;
            for (const PdfWord &w : pdfWords(job))
                if (box.contains(w.rect))
                    n += w.text;
            numbers << n;
        }
        return numbers;
    }
};

class TestPrintForm : public QObject {
    Q_OBJECT
private:
    ScopedSettings m_settings;

private Q_SLOTS:
    void printsOneJobPerCopyAndRecordsItFirst()
    {
        if (!havePdfToText())
            QSKIP("poppler-utils are not installed");
        PrintRig rig;
        QVariant countWhenPrinting;
        auto beforeJob = rig.report.beforeJob;
        rig.report.beforeJob = [&](QPrinter &p) {
            if (rig.jobs.isEmpty())
                countWhenPrinting = rig.stored(102, "PrintCount");
            beforeJob(p);
        };
        PrintRecNo = 0;

        const int result = rig.open([](TPrintForm &d) {
            d.CopySpinEdit->setValue(3);
            d.PrintButton->click();
            return d.result();
        });
        QCOMPARE(rig.shownCopies, 1);  // never printed
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(countWhenPrinting, QVariant(3.0));
        QCOMPARE(rig.printedNumbers(), QStringList({"102", "102", "102"}));
        QCOMPARE(rig.stored(102, "PrintCount"), QVariant(3.0));
        QCOMPARE(rig.stored(102, "Print"), QVariant(true));
        QVERIFY(rig.stored(101, "PrintCount").isNull());
        QCOMPARE(PrintRecNo, 2);
        QCOMPARE(rig.data.PaysTable.recNo(), 2);
        QCOMPARE(rig.report.copies(), 1);

        // The next opening starts from the recorded count.
        rig.open([](TPrintForm &d) { return d.result(); });
        QCOMPARE(rig.shownCopies, 3);
    }

    void printerSetupCopiesBecomeSeparateJobs()
    {
        if (!havePdfToText())
            QSKIP("poppler-utils are not installed");
        PrintRig rig;
        int copiesOffered = -1;
        rig.inPrinterSetup = [&](QPrintDialog &p) {
            copiesOffered = p.printer()->copyCount();
            p.printer()->setCopyCount(2);
            return int(QDialog::Accepted);
        };
        int spinAfterSetup = -1, printerCopies = -1;
        rig.open([&](TPrintForm &d) {
            d.PrinterSettingButton->click();
            spinAfterSetup = d.CopySpinEdit->value();
            printerCopies = rig.report.copies();
            d.PrintButton->click();
            return d.result();
        });
        QCOMPARE(copiesOffered, 1);
        QCOMPARE(spinAfterSetup, 2);
        QCOMPARE(printerCopies, 1);
        QCOMPARE(rig.printedNumbers(), QStringList({"102", "102"}));
        QCOMPARE(rig.stored(102, "PrintCount"), QVariant(2.0));

        // Cancelling the set-up puts 1 into the spin edit.
        rig.inPrinterSetup = [](QPrintDialog &) { return int(QDialog::Rejected); };
        rig.open([](TPrintForm &d) {
            d.CopySpinEdit->setValue(5);
            d.PrinterSettingButton->click();
            return d.result();
        });
        QCOMPARE(rig.dialog.CopySpinEdit->value(), 1);
    }

    void emptySpinEditPrintsOneCopy()
    {
        if (!havePdfToText())
            QSKIP("poppler-utils are not installed");
        PrintRig rig;
        rig.open([](TPrintForm &d) {
            d.CopySpinEdit->setValue(4);
            d.CopySpinEdit->findChild<QLineEdit *>()->clear();
            d.PrintButton->click();
            return d.result();
        });
        QCOMPARE(rig.printedNumbers(), QStringList({"102"}));
        QCOMPARE(rig.stored(102, "PrintCount"), QVariant(1.0));
        QCOMPARE(rig.dialog.CopySpinEdit->text(), QStringLiteral("1"));
    }

    void cancelChangesNothing()
    {
        PrintRig rig;
        const int result = rig.open([](TPrintForm &d) {
            d.CopySpinEdit->setValue(5);
            d.CancelButton->click();
            return d.result();
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(rig.jobs.isEmpty());
        QVERIFY(rig.stored(102, "PrintCount").isNull());
        QVERIFY(rig.stored(102, "Print").isNull());
        QCOMPARE(rig.data.PaysTable.state(), DbTable::Browse);
    }

    // A refused post leaves the order as it was, shows the engine's message
    // and prints nothing; the dialog stays open.
    void refusedPostPrintsNothing()
    {
        PrintRig rig;
        PromptScript prompts;
        DbTable other;
        rig.db.open(other, QStringLiteral("PaysDB"), QStringLiteral("Num"));
        other.startTransaction();
        const int result = rig.open([](TPrintForm &d) {
            d.CopySpinEdit->setValue(2);
            d.PrintButton->click();
            return d.result();
        });
        other.rollback();
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown().first().icon, Prompt::Error);
        QVERIFY(rig.jobs.isEmpty());
        QCOMPARE(rig.data.PaysTable.state(), DbTable::Browse);
        QVERIFY(rig.stored(102, "PrintCount").isNull());
    }

    // A printer that cannot start a job is reported once and ends the run.
    void failedJobIsReportedAndEndsTheRun()
    {
        PrintRig rig;
        PromptScript prompts;
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        rig.report.beforeJob = [&](QPrinter &p) {
            rig.jobs << rig.out.filePath(QStringLiteral("missing/folder/job.pdf"));
            p.setOutputFileName(rig.jobs.last());
        };
        rig.open([](TPrintForm &d) {
            d.CopySpinEdit->setValue(3);
            d.PrintButton->click();
            return d.result();
        });
        QCOMPARE(rig.jobs.size(), 1);
        QCOMPARE(prompts.shown().size(), 1);
        QVERIFY(prompts.shown().first().text.contains(QStringLiteral("missing/folder/job.pdf")));
        QCOMPARE(rig.data.PaysTable.recNo(), 2);
    }

    // Editing an empty journal would append a blank order.
    void emptyJournalRecordsAndPrintsNothing()
    {
        PrintRig rig;
        rig.data.PaysTable.emptyTable();
        const int result = rig.open([](TPrintForm &d) {
            d.PrintButton->click();
            return d.result();
        });
        QCOMPARE(rig.shownCopies, 1);
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(rig.data.PaysTable.recordCount(), 0);
        QVERIFY(rig.jobs.isEmpty());
    }

    // The preview shows the one page of the order at PrintRecNo and saves it
    // as a PDF; it records nothing in the order.
    void previewShowsTheOrderAndSavesPdf()
    {
        if (!havePdfToText())
            QSKIP("poppler-utils are not installed");
        PrintRig rig;
        const QString path = rig.out.filePath(QStringLiteral("saved.pdf"));
        int pages = -1;
        QString suggested;
        rig.inFileDialog = [&](QFileDialog &f) {
            suggested = f.selectedFiles().value(0);
            f.selectFile(path);
            return int(QDialog::Accepted);
        };
        rig.inPreview = [&](QPrintPreviewDialog &p) {
            auto *widget = p.findChild<QPrintPreviewWidget *>();
            widget->updatePreview();
            pages = widget->pageCount();
            const auto actions = p.findChildren<QAction *>();
            for (QAction *a : actions)
                if (a->text() == TPayReportForm::savePdfText())
                    a->trigger();
            return int(QDialog::Rejected);
        };
        PrintRecNo = 3;
        rig.data.PaysTable.first();
        rig.report.Preview();
        QCOMPARE(pages, 1);
        QVERIFY2(suggested.endsWith(QStringLiteral("Платежное поручение 103.pdf")), qPrintable(suggested));
        rig.jobs = {path};
        QCOMPARE(rig.printedNumbers(), QStringList({"103"}));
        QCOMPARE(rig.data.PaysTable.recNo(), 3);
        QVERIFY(rig.stored(103, "PrintCount").isNull());
    }
};

QTEST_MAIN(TestPrintForm)
#include "tst_printform.moc"
