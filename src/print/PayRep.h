#pragma once
#include "PayOrderForm.h"
#include "PayOrderTables.h"
#include "report/Report.h"

#include <QObject>

#include <functional>
#include <memory>

class DbTable;
class QPrinter;
class QPrintPreviewDialog;

// The record number, in the journal's current view, of the order to preview
// or print. Set by the callers before they start the report.
extern int PrintRecNo;

// The printed payment order. The form itself is never shown: it previews
// the page, sets up the printer and prints one page per run.
class TPayReportForm : public QObject {
    Q_OBJECT
public:
    // The tables default to the data module's journal and directory.
    explicit TPayReportForm(QObject *parent = nullptr);
    ~TPayReportForm() override;

    Report PayRep;

    // The settings in effect, asked for at the start of every run.
    std::function<PrintSettings()> settings;

    void setTables(DbTable *pays, DbTable *payers) { m_reader.setTables(pays, payers); }

    // The modal preview, from which the user may print or save a PDF file.
    void Preview();
    // The printer set-up dialog: printer, orientation, copies. True on OK.
    bool PrinterSetup();
    // The copies the printer settings ask for.
    int copies() const;
    void setCopies(int copies);
    QPrinter &printer() { return *m_printer; }

    // One run to the chosen printer: one job of one page. A printer that
    // cannot start the job is reported and gives false.
    bool Print();
    // The page in A4 portrait as a PDF file.
    bool exportPdf(const QString &path);

    // Tests: called with the printer before every job.
    std::function<void(QPrinter &)> beforeJob;
    // The preview's command that saves the page as a PDF file.
    static QString savePdfText() { return QStringLiteral("Сохранить в PDF"); }

private:
    bool renderTo(QPrinter &printer);
    void savePdfFromPreview(QPrintPreviewDialog &preview);

    std::unique_ptr<QPrinter> m_printer;
    TablePayOrderReader m_reader;
};

extern TPayReportForm *PayReportForm;
