#pragma once
#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The settings dialog. Created once at start-up; its creation loads the
// twelve dialog settings, and from then on its controls hold the values in
// effect for the whole run: the journal, the editor and the print form read
// them through the accessors below. OK stores them and reopens the
// database; Cancel stores nothing but keeps what the user changed in
// effect until the program ends.
class TSettingForm : public QDialog {
    Q_OBJECT
public:
    explicit TSettingForm(QWidget *parent = nullptr);
    ~TSettingForm() override;

    // Reads the twelve settings into the controls, in the order of the
    // settings table. A value stored with the wrong type throws KvError at
    // that value; the controls after it keep their design contents (the
    // defaults). The constructor calls it and shows such an error as the
    // application's default handler would, so the dialog exists either way.
    void load();

    // The values in effect.
    QString dataBasePath() const;
    QString userName() const;
    int dateFormat() const;          // DateFormatSelect, -1 when none is chosen
    int payDateFormat() const;       // PayDateFormatSelect
    int sumRubAndKopFormat() const;  // FrmSumRubAndKopCombo: 0 "100-10", 1 "100.10"
    int sumWithKopFormat() const;    // SumWithKopSelect: 0 "100-00", 1 "100="
    int sumWithRubFormat() const;    // SumWithRubSelect: 0 "00-50", 1 "0-50", as printed
    QString noNds() const;           // NoNDSEdit
    QString noSecondSignature() const;
    bool checkBoxMP() const;
    bool checkBoxLittleFont() const;
    int payNextNumber() const;       // EditPayNextNumber: the number of the last order made

    // The journal's new order number: the spin box goes up by one, the new
    // value is stored at once and returned. It is used up even if the new
    // order is cancelled.
    int takeNewPayNumber();

    // Handlers of the buttons.
    void BrowseButtonClick();
    void OkButtonClick();

    // The file dialog of "&Обзор": gets the folder to start in, returns the
    // chosen file or an empty text. Tests replace it.
    static std::function<QString(QWidget *parent, const QString &startFolder)> browseHook;
    // The folder of a chosen file as the DataBasePath setting holds it:
    // ending with the separator (a backslash on Windows).
    static QString folderOfFile(const QString &filePath);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *DataBasePathEdit;
    QPushButton *BrowseButton;
    QLineEdit *UserNameEdit;
    QComboBox *DateFormatSelect;
    QComboBox *PayDateFormatSelect;
    QComboBox *FrmSumRubAndKopCombo;
    QComboBox *SumWithKopSelect;
    QComboBox *SumWithRubSelect;
    QLineEdit *NoNDSEdit;
    QLineEdit *NoSecondSignature;
    QCheckBox *CheckBoxMP;
    QCheckBox *CheckBoxLittleFont;
    QSpinBox *EditPayNextNumber;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};

// The one instance, set by the constructor.
extern TSettingForm *SettingForm;
