#pragma once
#include <QDate>
#include <QDialog>

class DbComboBox;
class DbDateEdit;
class DbEdit;
class DbLookupComboBox;
class DbMemo;
class QPushButton;
class QStatusBar;
class TDataBase1;

// The payment order editor: every control shows and edits the journal's
// current row. The journal puts the row into insert or edit state before
// showing the editor and posts or cancels it afterwards.
class TPayEditForm : public QDialog {
    Q_OBJECT
public:
    explicit TPayEditForm(QWidget *parent = nullptr);
    ~TPayEditForm() override;

    // Binds every control to the journal's and the directory's data sources
    // (the constructor does it when the data module exists).
    void bindData(TDataBase1 &data);

    // The date that stands for a document date of "0".
    static QDate zeroDocDate() { return QDate(2000, 12, 12); }
    // What the document-date box shows for that date when an order is opened.
    static QString zeroDocDateText() { return QStringLiteral("0 .  .   "); }

    // Shown modally by the journal.
    int ShowModal();

    // Handlers.
    void FormActivate();   // clears the focus flag, focus to "Поступ. в банк"
    void NDSEditChange();  // the VAT line rule, for the amount and the rate box
    void NDSEditEnter() { m_amountFocused = true; }
    void NDSEditExit() { m_amountFocused = false; }
    void OkButtonClick();
    bool amountOrRateFocused() const { return m_amountFocused; }

    DbDateEdit *PostDateEdit, *SpisDateEdit, *DateEdit, *PayDateEdit, *PDateEdit;
    DbComboBox *YStateEdit, *PayTypeEdit, *OsnPEEdit, *PTypeEdit;
    DbEdit *NumEdit, *SumEdit, *OpTypeEdit, *OchPayEdit, *DBEditNpl, *UinDBEdit;
    DbEdit *CBCEdit, *OCATOEdit, *NPerEdit, *PNDocEdit, *NDSEdit, *NDSStrEdit;
    DbLookupComboBox *PayerEdit, *GetterEdit;
    DbMemo *DestEdit;
    QPushButton *OkButton, *CancelButton;
    QStatusBar *StatusBar;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_amountFocused = false;
};

extern TPayEditForm *PayEditForm;
