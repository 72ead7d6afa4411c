#include "PayRep.h"

#include "DataUnit.h"
#include "GuiSeams.h"
#include "Prompt.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

int PrintRecNo = 0;
TPayReportForm *PayReportForm = nullptr;

TPayReportForm::TPayReportForm(QObject *parent)
    : QObject(parent),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_reader(DataBase1 ? &DataBase1->PaysTable : nullptr, DataBase1 ? &DataBase1->PayerTable : nullptr,
               [] { return PrintRecNo; })
{
    PayForm::build(PayRep, m_reader, [this] { return settings ? settings() : PrintSettings(); });
    m_printer->setPageLayout(PayRep.pageLayout());
    m_printer->setCopyCount(1);
    m_printer->setDocName(PayRep.title());
    if (!PayReportForm)
        PayReportForm = this;
}

TPayReportForm::~TPayReportForm()
{
    if (PayReportForm == this)
        PayReportForm = nullptr;
}

bool TPayReportForm::renderTo(QPrinter &printer)
{
    // The sheet turns with the orientation chosen for the printer.
    PayRep.setPage(PayRep.pageSize(), printer.pageLayout().orientation(), PayRep.margins());
    return PayRep.render(&printer);
}

void TPayReportForm::Preview()
{
    QPrintPreviewDialog preview(m_printer.get(), QApplication::activeWindow());
    preview.setWindowTitle(QStringLiteral("Предварительный просмотр"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *p) { renderTo(*p); });
    if (auto *bar = preview.findChild<QToolBar *>()) {
        bar->addSeparator();
        QAction *save = bar->addAction(savePdfText());
        save->setToolTip(QStringLiteral("Сохранить платежное поручение в файл PDF"));
        connect(save, &QAction::triggered, &preview, [this, &preview] { savePdfFromPreview(preview); });
    }
    Modal::exec(&preview);
}

void TPayReportForm::savePdfFromPreview(QPrintPreviewDialog &preview)
{
    QFileDialog dialog(&preview, QStringLiteral("Сохранить в PDF"), QString(),
                       QStringLiteral("Файлы PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    const QString number = PayForm::print(u"NumText", m_reader.read(PayOrderReader::Order), PrintSettings()).text;
    dialog.selectFile(QStringLiteral("Платежное поручение %1.pdf").arg(number).simplified());
    if (Modal::exec(&dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    if (!exportPdf(path))
        Prompt::messageBox(QStringLiteral("Сохранить в PDF"), QStringLiteral("Не удалось записать файл %1").arg(path),
                           Prompt::Ok, Prompt::Error);
}

bool TPayReportForm::PrinterSetup()
{
    QPrintDialog dialog(m_printer.get(), QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Настройка принтера"));
    return Modal::exec(&dialog) == QDialog::Accepted;
}

int TPayReportForm::copies() const { return m_printer->copyCount(); }

void TPayReportForm::setCopies(int copies) { m_printer->setCopyCount(copies); }

bool TPayReportForm::Print()
{
    if (beforeJob)
        beforeJob(*m_printer);
    if (renderTo(*m_printer))
        return true;
    const QString name = m_printer->outputFormat() == QPrinter::PdfFormat ? m_printer->outputFileName()
                                                                          : m_printer->printerName();
    Prompt::messageBox(QStringLiteral("Печать"),
                       name.isEmpty() ? QStringLiteral("Не удалось напечатать платежное поручение: принтер не выбран.")
                                      : QStringLiteral("Не удалось напечатать платежное поручение на «%1».").arg(name),
                       Prompt::Ok, Prompt::Error);
    return false;
}

bool TPayReportForm::exportPdf(const QString &path)
{
    PayRep.setPage(PayRep.pageSize(), QPageLayout::Portrait, PayRep.margins());
    return PayRep.exportPdf(path);
}
