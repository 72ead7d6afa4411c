#pragma once
#include <QDialog>

class DbTable;
class QLabel;
class QPushButton;
class QSpinBox;
class TPayReportForm;

// "Печать платежного поручения": prints the journal's current order a chosen
// number of times and records in it how many copies were made.
class TPrintForm : public QDialog {
    Q_OBJECT
public:
    // Unset, the journal's table and the print form are the application's.
    explicit TPrintForm(QWidget *parent = nullptr);
    ~TPrintForm() override;
    void setTargets(DbTable *pays, TPayReportForm *report)
    {
        m_pays = pays;
        m_report = report;
    }

    QLabel *Label1;
    QSpinBox *CopySpinEdit;
    QPushButton *PrinterSettingButton;
    QPushButton *PrintButton;
    QPushButton *CancelButton;

    // Shows the dialog modally, starting from the current order's copies.
    int ShowModal();

    void FormActivate();
    void PrinterSettingButtonClick();
    void PrintButtonClick();

    // The spin edit's value; 1 while its text is not a number.
    int copies() const;

private:
    DbTable *pays() const;
    TPayReportForm *report() const;

    DbTable *m_pays = nullptr;
    TPayReportForm *m_report = nullptr;
};

extern TPrintForm *PrintForm;
